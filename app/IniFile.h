// The window's reader of the settings file: the core's SettingsFile (see
// settings/SettingsFile.h: a bad line is skipped and the rest read, a file
// above 1 MB is not read), with each skipped line and any reason the file
// was not read reported on the error stream, as the ini library reports
// its own diagnostics.
#pragma once

#include "settings/SettingsFile.h"

#include <string>

namespace kestrova {

class IniFile : public SettingsFile {
public:
    explicit IniFile(const std::string& path);
};

} // namespace kestrova
