// Where the program's data files are looked for: the working directory,
// the directory of the executable, and the installed data directory.
#pragma once

#include <string>
#include <vector>

namespace kestrova {

// The directory holding the running executable, with a trailing '/'; empty
// when it cannot be found.
std::string ExecutableDirectory();

// The installed data directory (<prefix>/share/kestrova/), trailing '/'.
std::string InstalledDataDirectory();

// The first existing regular file called name (compared without regard to
// letter case) in the given directories, as a full path; empty if none.
// A directory "" means the working directory.
std::string FindFileIgnoringCase(const std::string& name,
                                 const std::vector<std::string>& directories);

} // namespace kestrova
