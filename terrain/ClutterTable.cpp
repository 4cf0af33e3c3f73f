#include "terrain/ClutterTable.h"

#include "geo/TextScan.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <initializer_list>
#include <utility>

namespace kestrova {
namespace {

// The categories of P.452-18's Table 3, m.
constexpr double kOpen = 0;        // water, sea, open and rural land
constexpr double kSuburban = 10;   // suburban
constexpr double kUrban = 15;      // urban, trees, forest
constexpr double kDenseUrban = 20; // dense urban

using Entries = std::initializer_list<std::pair<int, double>>;

// ESA WorldCover (v100, v200); 0 is the product's no-data value.
constexpr Entries kWorldCover = {
    {0, kOpen},   // no data
    {10, kUrban}, // tree cover
    {20, kOpen},  // shrubland
    {30, kOpen},  // grassland
    {40, kOpen},  // cropland
    {50, kUrban}, // built-up
    {60, kOpen},  // bare / sparse vegetation
    {70, kOpen},  // snow and ice
    {80, kOpen},  // permanent water bodies
    {90, kOpen},  // herbaceous wetland
    {95, kUrban}, // mangroves
    {100, kOpen}, // moss and lichen
};

// CORINE Land Cover level 3: the raster's grid code and the class code.
struct CorineClass {
    int grid;
    int code;
    double height;
};
constexpr CorineClass kCorine[] = {
    {1, 111, kDenseUrban}, // continuous urban fabric
    {2, 112, kSuburban},   // discontinuous urban fabric
    {3, 121, kUrban},      // industrial or commercial units
    {4, 122, kOpen},       // road and rail networks and associated land
    {5, 123, kUrban},      // port areas
    {6, 124, kOpen},       // airports
    {7, 131, kOpen},       // mineral extraction sites
    {8, 132, kOpen},       // dump sites
    {9, 133, kOpen},       // construction sites
    {10, 141, kSuburban},  // green urban areas
    {11, 142, kOpen},      // sport and leisure facilities
    {12, 211, kOpen},      // non-irrigated arable land
    {13, 212, kOpen},      // permanently irrigated land
    {14, 213, kOpen},      // rice fields
    {15, 221, kOpen},      // vineyards
    {16, 222, kUrban},     // fruit trees and berry plantations
    {17, 223, kUrban},     // olive groves
    {18, 231, kOpen},      // pastures
    {19, 241, kOpen},      // annual crops associated with permanent crops
    {20, 242, kOpen},      // complex cultivation patterns
    {21, 243, kOpen},      // agriculture with significant natural vegetation
    {22, 244, kUrban},     // agro-forestry areas
    {23, 311, kUrban},     // broad-leaved forest
    {24, 312, kUrban},     // coniferous forest
    {25, 313, kUrban},     // mixed forest
    {26, 321, kOpen},      // natural grasslands
    {27, 322, kOpen},      // moors and heathland
    {28, 323, kOpen},      // sclerophyllous vegetation
    {29, 324, kUrban},     // transitional woodland-shrub
    {30, 331, kOpen},      // beaches, dunes, sands
    {31, 332, kOpen},      // bare rocks
    {32, 333, kOpen},      // sparsely vegetated areas
    {33, 334, kOpen},      // burnt areas
    {34, 335, kOpen},      // glaciers and perpetual snow
    {35, 411, kOpen},      // inland marshes
    {36, 412, kOpen},      // peat bogs
    {37, 421, kOpen},      // salt marshes
    {38, 422, kOpen},      // salines
    {39, 423, kOpen},      // intertidal flats
    {40, 511, kOpen},      // water courses
    {41, 512, kOpen},      // water bodies
    {42, 521, kOpen},      // coastal lagoons
    {43, 522, kOpen},      // estuaries
    {44, 523, kOpen},      // sea and ocean
    {48, 999, kOpen},      // no data
    {49, 990, kOpen},      // unclassified land surface
    {50, 995, kOpen},      // unclassified water bodies
};

std::optional<double> Number(std::string_view text) {
    text = scan::TrimField(text);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty() ||
        !std::isfinite(value))
        return std::nullopt;
    return value;
}

// The problem of one line ("" when it was read into entries).
std::string ReadLine(std::string_view line, std::map<int, double>& entries) {
    const std::size_t comma = line.find(',');
    if (comma == std::string_view::npos || line.find(',', comma + 1) != std::string_view::npos)
        return "expected class,height_m";
    const std::string_view classText = scan::TrimField(line.substr(0, comma));
    const std::optional<double> code = Number(classText);
    if (!code || *code < 0 || *code > maxClassCode || *code != std::floor(*code))
        return "class \"" + std::string(classText) + "\" is not a whole number 0.." +
               std::to_string(maxClassCode);
    const std::string_view heightText = scan::TrimField(line.substr(comma + 1));
    const std::optional<double> height = Number(heightText);
    if (!height || *height < 0 || *height > maxClutterHeight)
        return "height \"" + std::string(heightText) + "\" is not a number of metres within 0..100";
    if (!entries.emplace(static_cast<int>(*code), *height).second)
        return "class " + std::to_string(static_cast<int>(*code)) + " is given twice";
    return {};
}

} // namespace

const char* LandCoverClassesName(LandCoverClasses classes) {
    return classes == LandCoverClasses::Corine ? "corine" : "worldcover";
}

std::optional<LandCoverClasses> ParseLandCoverClasses(std::string_view name) {
    if (name == "worldcover") return LandCoverClasses::WorldCover;
    if (name == "corine") return LandCoverClasses::Corine;
    return std::nullopt;
}

ClutterTable ClutterTable::BuiltIn(LandCoverClasses classes) {
    ClutterTable table;
    if (classes == LandCoverClasses::WorldCover)
        for (const auto& [code, height] : kWorldCover)
            table.Set(code, height);
    else
        for (const CorineClass& c : kCorine) {
            table.Set(c.grid, c.height);
            table.Set(c.code, c.height);
        }
    return table;
}

void ClutterTable::Set(int code, double height) {
    if (code < 0 || code > maxClassCode) return;
    entries_[code] = height;
    const auto index = static_cast<std::size_t>(code);
    if (dense_.size() <= index) {
        dense_.resize(index + 1, 0.0);
        known_.resize(index + 1, 0);
    }
    dense_[index] = height;
    known_[index] = 1;
}

void ClutterTable::Override(const std::map<int, double>& entries) {
    for (const auto& [code, height] : entries)
        Set(code, height);
}

std::string ClutterTable::Text() const {
    std::string text;
    char word[64];
    for (const auto& [code, height] : entries_) {
        std::snprintf(word, sizeof word, "%s%d:%.17g", text.empty() ? "" : " ", code, height);
        text += word;
    }
    return text;
}

ClutterTableText ParseClutterTable(std::string_view text) {
    ClutterTableText result;
    int number = 0;
    bool first = true;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = scan::TrimField(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        ++number;
        if (line.empty() || line.front() == '#') continue;
        const bool header = first && !Number(line.substr(0, line.find(',')));
        first = false;
        if (header) continue;
        if (std::string problem = ReadLine(line, result.entries); !problem.empty()) {
            result.entries.clear();
            result.problem = "line " + std::to_string(number) + ": " + problem;
            return result;
        }
    }
    return result;
}

} // namespace kestrova
