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
// 1 a mistake in the command line, 2 input that cannot be used.
int RunCli(const Words& words, std::ostream& out, std::ostream& err);

int RunConvert(const Words& words, std::ostream& out);
int RunHeight(const Words& words, std::ostream& out);
int RunZone(const Words& words, std::ostream& out);
int RunGas(const Words& words, std::ostream& out);
int RunClimate(const Words& words, std::ostream& out);
int RunLink(const Words& words, std::ostream& out);
int RunRadial(const Words& words, std::ostream& out);
int RunCoverage(const Words& words, std::ostream& out);
int RunSites(const Words& words, std::ostream& out);

} // namespace kestrova::cli
