#include "app/IniFile.h"

#include <iostream>

namespace kestrova {

IniFile::IniFile(const std::string& path) : SettingsFile(path) {
    if (!Problem().empty()) std::cerr << "kestrova: " << Problem() << "\n";
    for (const std::string& line : Skipped())
        std::cerr << "kestrova: " << path << ", " << line << ": skipped\n";
}

} // namespace kestrova
