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

// The map commands of the table, each handed to the map tool.
int RunCoverage(const Words& words, std::ostream& out) {
    return RunInMapTool("coverage", words, out);
}
int RunCoverageBatch(const Words& words, std::ostream& out) {
    return RunInMapTool("coverage-batch", words, out);
}
int RunMerge(const Words& words, std::ostream& out) {
    return RunInMapTool("merge", words, out);
}
int RunTerrainMap(const Words& words, std::ostream& out) {
    return RunInMapTool("terrain-map", words, out);
}
int RunZoneMap(const Words& words, std::ostream& out) {
    return RunInMapTool("zone-map", words, out);
}

} // namespace kestrova::cli
