#include "cli/ProfileCsv.h"

#include "cli/Args.h"
#include "files/InputFile.h"
#include "geo/NumberFormat.h"
#include "geo/TextScan.h"
#include "inputs/InputLimits.h"

#include <sstream>
#include <string_view>

namespace kestrova::cli {
namespace {

double Field(std::string_view field, int line, const char* name) {
    const auto value = ParseNumber(std::string(scan::TrimField(field)));
    if (!value)
        throw InputError("profile line " + std::to_string(line) + ": " + name + " \"" +
                         std::string(scan::TrimField(field)) + "\" is not a number");
    return *value;
}

// Ground heights a profile can hold, m above sea level: from the shores of
// the Dead Sea to above the highest summit.
constexpr double lowestGround = -500.0;
constexpr double highestGround = 9000.0;
// The tallest representative clutter a profile point can hold, m.
constexpr double maxClutterHeight = 100.0;

InputError LineError(int line, const std::string& what) {
    return InputError("profile line " + std::to_string(line) + ": " + what);
}

} // namespace

std::vector<ProfilePoint> ParseProfileCsv(const std::string& text, const ProfileRules& rules) {
    std::vector<ProfilePoint> points;
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    while (std::getline(lines, line)) {
        ++number;
        if (number == 1 || scan::TrimField(line).empty()) continue; // the header
        std::string_view rest = line;
        std::string_view fields[4];
        int count = 0;
        for (; count < 4 && rest.data() != nullptr; ++count) {
            const size_t comma = rest.find(',');
            fields[count] = rest.substr(0, comma);
            rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
        }
        if (count < 3 || rest.data() != nullptr)
            throw InputError("profile line " + std::to_string(number) +
                             ": expected distance_km,height_m,zone[,clutter_m]");
        ProfilePoint point;
        point.distance = Field(fields[0], number, "distance");
        point.height = Field(fields[1], number, "height");
        const double zone = Field(fields[2], number, "zone");
        if (zone < 0 || zone > 255 || zone != static_cast<int>(zone))
            throw InputError("profile line " + std::to_string(number) + ": zone must be 0..255");
        point.zone = static_cast<int>(zone);
        if (count == 4) {
            point.clutter = Field(fields[3], number, "clutter height");
            if (!(point.clutter >= 0.0 && point.clutter <= maxClutterHeight))
                throw LineError(number, "clutter height " + FormatGeneral(point.clutter, 6) +
                                            " m lies outside 0..100 m");
        }
        const bool ordered = points.empty()            ? point.distance == 0.0
                             : rules.repeatedDistances ? point.distance >= points.back().distance
                                                       : point.distance > points.back().distance;
        if (!ordered)
            throw LineError(number, rules.repeatedDistances
                                        ? "distances must start at 0 and never decrease"
                                        : "distances must start at 0 and increase");
        // The longest path the program plans is the longest range it takes.
        if (point.distance > limits::range.maximum)
            throw LineError(number, "distance " + FormatGeneral(point.distance, 6) +
                                        " km is beyond the longest path of " +
                                        FormatGeneral(limits::range.maximum, 6) + " km");
        if (!(point.height >= lowestGround && point.height <= highestGround))
            throw LineError(number, "height " + FormatGeneral(point.height, 6) +
                                        " m lies outside -500..9000 m");
        if (points.size() == rules.maxPoints)
            throw InputError("profile: more than " + std::to_string(rules.maxPoints) + " points");
        points.push_back(point);
    }
    if (points.size() < 3) throw InputError("profile: at least three points are needed");
    return points;
}

std::vector<ProfilePoint> ReadProfileCsv(const std::string& path, const ProfileRules& rules) {
    std::string text;
    std::string problem;
    if (!ReadWholeFile(path, maxProfileBytes, text, problem))
        throw InputError("cannot read profile \"" + path + "\": " + problem);
    return ParseProfileCsv(text, rules);
}

} // namespace kestrova::cli
