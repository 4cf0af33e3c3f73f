// Reading a site file: lines of any length and any line end, each one a site
// or a skipped line with its reason.
#include "sites/Sites.h"
#include "sites/SiteLine.h"

#include "files/InputFile.h"
#include "geo/Locator.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <vector>

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

// The start of a site file's text without a UTF-8 byte-order mark (which
// would otherwise stay in the first site's name). A UTF-16 text, with its
// mark or without (every other byte of plain text zero), cannot be read:
// error says so and what to do.
std::string_view TextStart(std::string_view start, std::string& error) {
    if (start.substr(0, 3) == "\xEF\xBB\xBF") return start.substr(3);
    const bool mark = start.substr(0, 2) == "\xFF\xFE" || start.substr(0, 2) == "\xFE\xFF";
    // Without a mark: plain text in UTF-16 has a zero byte in every pair,
    // always on the same side (the high byte), and nowhere else.
    const std::string_view head = start.substr(0, std::min<size_t>(start.size(), 512) & ~size_t{1});
    bool zeroHigh[2] = {head.size() >= 4, head.size() >= 4}; // little-, big-endian
    for (size_t i = 0; i < head.size(); i += 2) {
        zeroHigh[0] = zeroHigh[0] && head[i] != '\0' && head[i + 1] == '\0';
        zeroHigh[1] = zeroHigh[1] && head[i] == '\0' && head[i + 1] != '\0';
    }
    if (mark || zeroHigh[0] || zeroHigh[1])
        error = "this file is UTF-16; save it as UTF-8 or ASCII";
    return start;
}

} // namespace

CSites::CSites(std::string name) : fileName(std::move(name)) {
    if (fileName.empty()) {
        error = "No site file given";
        return;
    }
    const std::string cannot = "Cannot read site file " + QuotedForMessage(fileName) + ": ";
    InputFile file; // a FIFO, device or directory is refused without being read
    if (!file.Open(fileName)) {
        error = cannot + file.Problem();
        return;
    }
    SiteReader reader(*this);
    std::vector<char> buffer(65536);
    long long got = 0;
    // Up to the size at opening: a file that keeps growing is read to the
    // end it had then, not for ever.
    std::uint64_t left = file.Size();
    bool first = true;
    while (left > 0 && (got = file.Read(buffer.data(), static_cast<size_t>(std::min<std::uint64_t>(
                                                           buffer.size(), left)))) > 0) {
        left -= static_cast<std::uint64_t>(got);
        std::string_view chunk(buffer.data(), static_cast<size_t>(got));
        if (first) {
            first = false;
            std::string problem;
            chunk = TextStart(chunk, problem);
            if (!problem.empty()) {
                error = cannot + problem;
                return;
            }
        }
        reader.Feed(chunk);
    }
    if (got < 0) {
        sites.clear();
        skipped.clear();
        count = 0;
        error = cannot + std::strerror(errno);
        return;
    }
    reader.Finish();
}

CSites CSites::FromText(std::string_view text, std::string name) {
    CSites result;
    result.fileName = std::move(name);
    SiteReader reader(result);
    std::string problem;
    text = TextStart(text, problem);
    if (!problem.empty()) {
        result.error =
            "Cannot read site file " + QuotedForMessage(result.fileName) + ": " + problem;
        return result;
    }
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
