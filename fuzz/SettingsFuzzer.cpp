// The settings reader and the one-value change of the settings file: no
// crash, every look-up answers, and a value set with WithSettingsValue is
// the value the reader then finds, whatever else the text holds. (Inputs
// stay below the reader's 4096 keys at libFuzzer's default length.)
#include "settings/SettingsFile.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const kestrova::SettingsFile ini = kestrova::SettingsFile::FromText(text);
    if (!ini.IsLoaded()) std::abort();
    ini.GetReal("LinkData:Frequency", 1.42);
    ini.GetInt("Locator:LocatorFormat", 0);
    ini.GetString("Locator:StartLocator", "IO91IN");
    for (const char* value : {"/home/user/tiles/", "/a;b#c/", ""}) {
        const std::string changed =
            kestrova::WithSettingsValue(text, "FilePaths", "MapDirectory", value);
        const kestrova::SettingsFile again = kestrova::SettingsFile::FromText(changed);
        if (again.GetString("FilePaths:MapDirectory", "<none>") != value) std::abort();
    }
    return 0;
}
