// kestrova-cli convert: a location text in all four formats, with the
// precisions the window shows (Maidenhead 10 characters, NGR 8 digits,
// 3 decimals).
#include "cli/Args.h"
#include "cli/Commands.h"
#include "geo/Locator.h"

#include <nlohmann/json.hpp>

#include <cstdio>
#include <ostream>

namespace kestrova::cli {

void DeclareConvert(OptionList& options) {
    DeclareFormat(options);
    options.Flag("json", "Write the result as JSON");
    options.Positional("TEXT", "The location text, in one word or several");
}

int RunConvert(const Args& args, std::ostream& out) {
    const int format = ParseLocatorFormat(args.Value("format").value_or("ngr"));
    if (args.Positional().empty()) throw UsageError("no location text given");
    std::string text;
    for (const std::string& word : args.Positional())
        text += (text.empty() ? "" : " ") + word;

    CLocator location(text, format);
    if (!location.IsValid()) {
        if (args.Flag("json")) out << nlohmann::json{{"valid", false}}.dump() << "\n";
        throw InputError("\"" + text + "\" is not a valid " + LocatorFormatName(format));
    }
    const std::string maidenhead = location.GetText(FormatMaidenhead, 10);
    const std::string ngr = location.GetText(FormatNGR, 8);
    const std::string degrees = location.GetText(FormatDegrees, 3);
    const std::string dms = location.GetText(FormatDMS, 3);
    if (args.Flag("json")) {
        const nlohmann::ordered_json result = {
            {"valid", true},
            {"latitude", location.GetLatitude()},
            {"longitude", location.GetLongitude()},
            {"maidenhead", maidenhead},
            {"ngr", ngr},
            {"degrees", degrees},
            {"dms", dms},
        };
        out << result.dump() << "\n";
        return 0;
    }
    char position[96];
    std::snprintf(position, sizeof position, "%.10f %.10f", location.GetLatitude(),
                  location.GetLongitude());
    out << "Latitude longitude " << position << "\n"
        << "Maidenhead         " << maidenhead << "\n"
        << "NGR                " << ngr << "\n"
        << "Degrees            " << degrees << "\n"
        << "DMS                " << dms << "\n";
    return 0;
}

} // namespace kestrova::cli
