// Where the program's data files are looked for: the working directory,
// the directory of the executable, and the installed data directory.
#pragma once

#include <string>
#include <vector>

namespace kestrova {

// The directory holding the running executable, with a trailing '/'; empty
// when it cannot be found.
std::string ExecutableDirectory();

// The installed data directory, trailing '/': share/kestrova/ beside the
// executable's bin/ folder when there is one (so an installed program finds
// its data under whatever prefix it was installed), else the configured
// <prefix>/share/kestrova/.
std::string InstalledDataDirectory();

// Where the program's own data files (zones01.dem, the demo tile, the help
// pages) are looked for, in order: beside the executable (the build tree),
// then the installed data directory.
std::vector<std::string> ProgramDataDirectories();
// The first regular file called name in those directories; "" if none.
std::string FindProgramDataFile(const std::string& name);

// The first existing regular file called name (compared without regard to
// letter case) in the given directories, as a full path; empty if none.
// A directory "" means the working directory.
std::string FindFileIgnoringCase(const std::string& name,
                                 const std::vector<std::string>& directories);

} // namespace kestrova
