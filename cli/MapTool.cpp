#include "cli/MapTool.h"

#include "cli/Args.h"
#include "geo/FileLocations.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

namespace kestrova::cli {

int RunInMapTool(const char* command, const Words& words, std::ostream& out) {
    const std::string tool = ExecutableDirectory() + mapToolName;
    std::vector<std::string> texts{tool, command};
    texts.insert(texts.end(), words.begin(), words.end());
    std::vector<char*> argv;
    for (std::string& text : texts)
        argv.push_back(text.data());
    argv.push_back(nullptr);
    out.flush();
    std::cout.flush();
    std::cerr.flush();
    ::execv(tool.c_str(), argv.data());
    throw InputError("the tool that draws maps, " + tool +
                     ", cannot be started: " + std::strerror(errno));
}

// The map commands of the table, each handed to the map tool with its words
// unread: the map tool declares their options, reads them and prints their
// help.
void DeclareCoverage(OptionList& options) {
    options.Forward();
}
void DeclareCoverageBatch(OptionList& options) {
    options.Forward();
}
void DeclareMerge(OptionList& options) {
    options.Forward();
}
void DeclareTerrainMap(OptionList& options) {
    options.Forward();
}
void DeclareZoneMap(OptionList& options) {
    options.Forward();
}

int RunCoverage(const Args& args, std::ostream& out) {
    return RunInMapTool("coverage", args.Positional(), out);
}
int RunCoverageBatch(const Args& args, std::ostream& out) {
    return RunInMapTool("coverage-batch", args.Positional(), out);
}
int RunMerge(const Args& args, std::ostream& out) {
    return RunInMapTool("merge", args.Positional(), out);
}
int RunTerrainMap(const Args& args, std::ostream& out) {
    return RunInMapTool("terrain-map", args.Positional(), out);
}
int RunZoneMap(const Args& args, std::ostream& out) {
    return RunInMapTool("zone-map", args.Positional(), out);
}

} // namespace kestrova::cli
