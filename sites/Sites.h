// CSites: a site file read whole. One site per line, fields separated by
// "~":
//
//     name~location~mast height~frequency
//     Hilltop repeater~IO91WM~25m~1.297GHz
//
// The location is a Maidenhead locator, an OSGB grid reference, decimal
// degrees ("51.5 N 0.12 W") or degrees-minutes-seconds ("51 30 15 N 0 7 30
// W"), told apart by its shape; the height is a number followed by "m"
// (metres) or "f" (feet), the frequency a number followed by "G" (GHz),
// letters in either case. A line that breaks a rule is skipped and
// reported with its number and the reason; blank lines are passed over.
//
// Lines may end in "\n", "\r\n" or "\r" and be of any length; the line end
// belongs to the last field (it counts towards the frequency field's
// length).
#pragma once

#include "sites/Site.h"

#include <string>
#include <string_view>
#include <vector>

namespace kestrova {

// One line taken apart by CSites::ParseLine.
struct SiteLine {
    std::string name;
    std::string location;     // the location text as CLocator reads it
    int format = -1;          // LocatorFormat of location
    double mastHeight = -1.0; // m, -1 none
    double frequency = -1.0;  // GHz, -1 none
    std::string reason;       // why the line was rejected
};

struct SkippedLine {
    int line = 0; // from 1
    std::string reason;
};

class CSites {
public:
    // Lines longer than this are skipped (they cannot be a site).
    static constexpr size_t maxLineLength = 65536;

    CSites() = default;
    // Reads the whole file. A file that cannot be read leaves the database
    // empty with GetError() saying why; a FIFO, device or directory is
    // refused without being opened.
    explicit CSites(std::string fileName);
    // The sites of a text held in memory; name is only for messages.
    static CSites FromText(std::string_view text, std::string name = {});

    CSites(const CSites&) = default;
    CSites(CSites&&) = default;
    CSites& operator=(const CSites&) = default;
    CSites& operator=(CSites&&) = default;
    virtual ~CSites() = default;

    bool IsLoaded() const { return loaded; } // at least one site
    int GetCount() const { return count; }
    // index 0 .. GetCount() - 1 (std::out_of_range beyond).
    CSite& GetSite(int index) { return sites.at(static_cast<size_t>(index)); }
    const CSite& GetSite(int index) const { return sites.at(static_cast<size_t>(index)); }
    const std::string& GetFileName() const { return fileName; }

    // True when the file could be read to its end (with or without sites).
    bool WasRead() const { return error.empty(); }
    const std::string& GetError() const { return error; }
    // Lines that are not sites, in file order; blank lines are not listed.
    const std::vector<SkippedLine>& GetSkipped() const { return skipped; }
    int GetSkippedCount() const { return static_cast<int>(skipped.size()); }

    // The rules of one line (with its line end, if any). True with every
    // output filled, or false with out.reason set.
    static bool ParseLine(std::string_view line, SiteLine& out);

private:
    friend class SiteReader;
    void AddLine(std::string_view line, bool tooLong);
    void Finish();

    int count = 0;
    std::string fileName;
    bool loaded = false;
    std::vector<CSite> sites;
    std::vector<SkippedLine> skipped;
    std::string error;
    int lineNumber = 0;
};

} // namespace kestrova
