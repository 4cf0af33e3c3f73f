// Reading a site file: lines of any length and any line end, each one a site
// or a skipped line with its reason.
#include "sites/Sites.h"
#include "sites/SiteLine.h"

#include "geo/Locator.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

namespace kestrova {

// Splits a text fed in chunks into lines, each with its line end ("\n",
// "\r\n" or "\r"); a line past CSites::maxLineLength is passed on cut
// short, flagged too long.
class SiteReader {
public:
    explicit SiteReader(CSites& target) : sites(target) {}

    void Feed(std::string_view chunk) {
        for (const char c : chunk) {
            if (pendingCR) {
                pendingCR = false;
                if (c == '\n') {
                    Append(c);
                    Emit();
                    continue;
                }
                Emit();
            }
            Append(c);
            if (c == '\n')
                Emit();
            else if (c == '\r')
                pendingCR = true;
        }
    }

    void Finish() {
        if (pendingCR || started) Emit();
        sites.Finish();
    }

private:
    void Append(char c) {
        started = true;
        if (line.size() < CSites::maxLineLength)
            line += c;
        else
            tooLong = true;
    }
    void Emit() {
        sites.AddLine(line, tooLong);
        line.clear();
        tooLong = false;
        started = false;
        pendingCR = false;
    }

    CSites& sites;
    std::string line;
    bool tooLong = false;
    bool started = false;
    bool pendingCR = false;
};

namespace {

const char* FormatName(int format) {
    switch (format) {
    case FormatMaidenhead:
        return "Maidenhead locator";
    case FormatNGR:
        return "OSGB grid reference";
    case FormatDegrees:
        return "position in decimal degrees";
    default:
        return "position in degrees, minutes and seconds";
    }
}

// Why a location of the right shape gives no position.
std::string UnplacedReason(const SiteLine& parsed) {
    const std::string location = "location " + QuotedForMessage(parsed.location);
    if (parsed.format == FormatMaidenhead && parsed.location.size() > 12)
        return location + " is longer than the 12 characters a Maidenhead locator is placed by";
    return location + " is not a valid " + FormatName(parsed.format);
}

bool IsBlank(std::string_view line) {
    return line.find_first_not_of(" \t\r\n\v\f") == std::string_view::npos;
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

} // namespace

CSites::CSites(std::string name) : fileName(std::move(name)) {
    const std::string cannot = "Cannot read site file " + QuotedForMessage(fileName) + ": ";
    if (fileName.empty()) {
        error = "No site file given";
        return;
    }
    std::error_code code;
    const auto status = std::filesystem::status(fileName, code);
    if (code || !std::filesystem::exists(status)) {
        error = cannot + (code ? code.message() : "No such file or directory");
        return;
    }
    if (!std::filesystem::is_regular_file(status)) {
        error = cannot + "not a regular file";
        return;
    }
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(fileName.c_str(), "rb"));
    if (!file) {
        error = cannot + std::strerror(errno);
        return;
    }
    SiteReader reader(*this);
    char buffer[65536];
    size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file.get())) > 0)
        reader.Feed(std::string_view(buffer, got));
    if (std::ferror(file.get())) {
        sites.clear();
        skipped.clear();
        count = 0;
        error = cannot + "read error";
        return;
    }
    reader.Finish();
}

CSites CSites::FromText(std::string_view text, std::string name) {
    CSites result;
    result.fileName = std::move(name);
    SiteReader reader(result);
    reader.Feed(text);
    reader.Finish();
    return result;
}

void CSites::AddLine(std::string_view line, bool tooLong) {
    ++lineNumber;
    if (tooLong) {
        skipped.push_back(
            {lineNumber, "line longer than " + std::to_string(maxLineLength) + " characters"});
        return;
    }
    if (IsBlank(line)) return;
    SiteLine parsed;
    if (!ParseLine(line, parsed)) {
        skipped.push_back({lineNumber, parsed.reason});
        return;
    }
    // A location of the right shape may still not be a place (a locator of
    // 14 characters, "51.5 N 0.1 X"): skipped, never put at 0 N 0 E.
    const CLocator location(parsed.location, parsed.format);
    if (!location.IsValid()) {
        skipped.push_back({lineNumber, UnplacedReason(parsed)});
        return;
    }
    CSite& site = sites.emplace_back();
    site.SetName(std::move(parsed.name));
    site.SetLatitude(location.GetLatitude());
    site.SetLongitude(location.GetLongitude());
    site.SetMastHeight(parsed.mastHeight);
    site.SetFrequency(parsed.frequency);
    site.SetFormat(parsed.format);
    ++count;
}

void CSites::Finish() {
    loaded = count > 0;
}

} // namespace kestrova
