// Reading a site file: lines of any length and any line end, each one a site
// or a skipped line with its reason.
#include "sites/Sites.h"
#include "sites/SiteLine.h"

#include "geo/Locator.h"

#include <algorithm>
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
        // The next "\n" and "\r" at or after pos, each searched for again
        // only once passed, so that a text with one kind of line end is not
        // searched through for the other at every line.
        size_t nextLF = chunk.find('\n');
        size_t nextCR = chunk.find('\r');
        size_t pos = 0;
        while (pos < chunk.size()) {
            if (pendingCR) { // "\r" ended the line; a "\n" right after it belongs to it
                pendingCR = false;
                if (chunk[pos] == '\n') Append(chunk.substr(pos++, 1));
                Emit();
                continue;
            }
            if (nextLF < pos) nextLF = chunk.find('\n', pos);
            if (nextCR < pos) nextCR = chunk.find('\r', pos);
            const size_t end = std::min(nextLF, nextCR);
            if (end == std::string_view::npos) {
                Append(chunk.substr(pos));
                return;
            }
            Append(chunk.substr(pos, end + 1 - pos));
            pos = end + 1;
            if (end == nextLF)
                Emit();
            else
                pendingCR = true;
        }
    }

    void Finish() {
        if (pendingCR || started) Emit();
        sites.Finish();
    }

private:
    void Append(std::string_view part) {
        started = true;
        const size_t room = CSites::maxLineLength - line.size();
        if (part.size() > room) {
            tooLong = true;
            part = part.substr(0, room);
        }
        line.append(part);
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
