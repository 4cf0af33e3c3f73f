// The subcommands of kestrova-cli. Each one declares the options it accepts
// (each with its help line), reads those given, writes its result to out and
// returns the exit status; it reports mistakes by throwing UsageError or
// InputError.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace kestrova::cli {

using Words = std::vector<std::string>;

class Args;
class OptionList;

struct Command {
    const char* name;
    const char* summary;
    const char* usage; // options after the name, one line
    void (*declare)(OptionList& options);
    int (*run)(const Args& args, std::ostream& out);
};

const std::vector<Command>& AllCommands();

// The whole tool: words are argv[1..]. Returns the exit status: 0 success
// (also for --help, which prints to out), 1 a mistake in the command line, 2 input that cannot be
// used, 3 a calculation that failed (a path the engine rejects, a figure that is not a finite
// number).
int RunCli(const Words& words, std::ostream& out, std::ostream& err);

// Where a command writes warnings and notes that are not its result: the
// error stream of the running RunCli.
std::ostream& Warnings();

// Points Warnings() at a stream for the life of a command.
class WarningsTo {
public:
    explicit WarningsTo(std::ostream& stream);
    ~WarningsTo();
    WarningsTo(const WarningsTo&) = delete;
    WarningsTo& operator=(const WarningsTo&) = delete;

private:
    std::ostream* previous;
};

// One warning a line for each tile file that could not be used ("<path>
// <reason>", see CTileLibrary::Problems): its cell was read as missing
// terrain, so the result does not stand on real heights there.
void WarnAboutTiles(const std::vector<std::string>& problems);
// The same warnings' texts, for a JSON result.
std::vector<std::string> TileWarnings(const std::vector<std::string>& problems);

// One warning line when a share (0..1) of what ("the path", "the area")
// had no terrain data and was read as ground at 0 m; nothing for 0.
void WarnAboutMissingTerrain(double fraction, const std::string& what);

// "kestrova-cli 0.1.0"
std::string VersionText();

void DeclareConvert(OptionList& options);
int RunConvert(const Args& args, std::ostream& out);
void DeclareHeight(OptionList& options);
int RunHeight(const Args& args, std::ostream& out);
void DeclareZone(OptionList& options);
int RunZone(const Args& args, std::ostream& out);
void DeclareTerrainSources(OptionList& options);
int RunTerrainSources(const Args& args, std::ostream& out);
void DeclareGas(OptionList& options);
int RunGas(const Args& args, std::ostream& out);
void DeclareClimate(OptionList& options);
int RunClimate(const Args& args, std::ostream& out);
void DeclareLink(OptionList& options);
int RunLink(const Args& args, std::ostream& out);
void DeclareRadial(OptionList& options);
int RunRadial(const Args& args, std::ostream& out);
void DeclareCoverage(OptionList& options);
int RunCoverage(const Args& args, std::ostream& out);
void DeclareMerge(OptionList& options);
int RunMerge(const Args& args, std::ostream& out);
void DeclareCoverageBatch(OptionList& options);
int RunCoverageBatch(const Args& args, std::ostream& out);
void DeclareTerrainMap(OptionList& options);
int RunTerrainMap(const Args& args, std::ostream& out);
void DeclareZoneMap(OptionList& options);
int RunZoneMap(const Args& args, std::ostream& out);
void DeclareMechanisms(OptionList& options);
int RunMechanisms(const Args& args, std::ostream& out);
void DeclareSites(OptionList& options);
int RunSites(const Args& args, std::ostream& out);

} // namespace kestrova::cli
