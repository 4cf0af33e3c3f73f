// kestrova-cli sites: every site of a site file, and every line that is not
// a site with its number and the reason.
#include "cli/Args.h"
#include "cli/Commands.h"
#include "geo/NumberFormat.h"
#include "sites/SiteTexts.h"
#include "sites/Sites.h"

#include <nlohmann/json.hpp>

#include <ostream>
#include <string>

namespace kestrova::cli {
namespace {

nlohmann::ordered_json ValueOrNull(double value) {
    return value >= 0.0 ? nlohmann::ordered_json(value) : nlohmann::ordered_json(nullptr);
}

// {"sites": [...], "skipped": [...]}, written a site at a time: the whole
// document of a large file would take many times the memory of its sites.
void WriteSitesJson(const CSites& sites, std::ostream& out) {
    const auto write = [&](const nlohmann::ordered_json& value) {
        out << value.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
    };
    out << "{\"sites\":[";
    for (int i = 0; i < sites.GetCount(); ++i) {
        const CSite& site = sites.GetSite(i);
        if (i > 0) out << ',';
        write({{"name", site.GetName()},
               {"latitude", site.GetLatitude()},
               {"longitude", site.GetLongitude()},
               {"format", site.GetFormat()},
               {"mastHeight", ValueOrNull(site.GetMastHeight())},
               {"frequency", ValueOrNull(site.GetFrequency())}});
    }
    out << "],\"skipped\":[";
    bool first = true;
    for (const SkippedLine& line : sites.GetSkipped()) {
        if (!first) out << ',';
        first = false;
        write({{"line", line.line}, {"reason", line.reason}});
    }
    out << "]}\n";
}

// A name as printed on a terminal: control characters as "?".
std::string Printable(std::string text) {
    for (char& c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = '?';
    return text;
}

void PrintSites(const CSites& sites, std::ostream& out) {
    out << SiteCountText(sites.GetCount(), sites.GetSkippedCount()) << "\n";
    for (int i = 0; i < sites.GetCount(); ++i) {
        const CSite& site = sites.GetSite(i);
        out << Printable(site.GetName()) << ": " << FormatFixed(site.GetLatitude(), 12, 7) << " "
            << FormatFixed(site.GetLongitude(), 12, 7) << " ("
            << LocatorFormatName(site.GetFormat()) << "), "
            << (site.HasMastHeight() ? "mast " + FormatGeneral(site.GetMastHeight(), 6) + " m"
                                     : std::string("no mast height"))
            << ", "
            << (site.HasFrequency() ? FormatGeneral(site.GetFrequency(), 6) + " GHz"
                                    : std::string("no frequency"))
            << "\n";
    }
    for (const SkippedLine& line : sites.GetSkipped())
        out << "line " << line.line << " skipped: " << line.reason << "\n";
}

} // namespace

void DeclareSites(OptionList& options) {
    options.Flag("json", "Write the result as JSON");
    options.Positional("FILE", "The site file");
}

int RunSites(const Args& args, std::ostream& out) {
    if (args.Positional().size() != 1) throw UsageError("give one site file");
    const CSites sites(args.Positional().front());
    if (!sites.WasRead()) throw InputError(sites.GetError());
    if (args.Flag("json"))
        WriteSitesJson(sites, out);
    else
        PrintSites(sites, out);
    return 0;
}

} // namespace kestrova::cli
