// The subcommands of kestrova-cli. Each one reads its own words (after the
// subcommand's name), writes its result to out and returns the exit status;
// it reports mistakes by throwing UsageError or InputError.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace kestrova::cli {

using Words = std::vector<std::string>;

struct Command {
    const char* name;
    const char* summary;
    const char* usage; // options after the name, one line
    int (*run)(const Words& words, std::ostream& out);
};

const std::vector<Command>& AllCommands();

// The whole tool: words are argv[1..]. Returns the exit status: 0 success,
// 1 a mistake in the command line, 2 input that cannot be used, 3 a
// calculation that failed (a path the engine rejects, a figure that is not
// a finite number).
int RunCli(const Words& words, std::ostream& out, std::ostream& err);

// Where a command writes warnings and notes that are not its result: the
// error stream of the running RunCli.
std::ostream& Warnings();

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

int RunConvert(const Words& words, std::ostream& out);
int RunHeight(const Words& words, std::ostream& out);
int RunZone(const Words& words, std::ostream& out);
int RunTerrainSources(const Words& words, std::ostream& out);
int RunGas(const Words& words, std::ostream& out);
int RunClimate(const Words& words, std::ostream& out);
int RunLink(const Words& words, std::ostream& out);
int RunRadial(const Words& words, std::ostream& out);
int RunCoverage(const Words& words, std::ostream& out);
int RunMerge(const Words& words, std::ostream& out);
int RunCoverageBatch(const Words& words, std::ostream& out);
int RunTerrainMap(const Words& words, std::ostream& out);
int RunZoneMap(const Words& words, std::ostream& out);
int RunMechanisms(const Words& words, std::ostream& out);
int RunSites(const Words& words, std::ostream& out);

} // namespace kestrova::cli
