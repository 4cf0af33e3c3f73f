// Land-cover classes as representative clutter heights, the R of ITU-R
// P.452-18 (08/2023) section 4.5.3 and its Table 3: water and sea, open and
// rural land 0 m, suburban 10 m, urban, trees and forest 15 m, dense urban
// 20 m. A table maps each class code of a land-cover product to one of
// those heights; the program holds tables for ESA WorldCover and for CORINE
// Land Cover (both of its codings: the raster's grid codes 1..50 and the
// three-digit class codes 111..523, which never collide), and a user's CSV
// of "class,height_m" lines sets or replaces any class's height.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrova {

enum class LandCoverClasses { WorldCover, Corine };

// "worldcover", "corine".
const char* LandCoverClassesName(LandCoverClasses classes);
// The classes of that name (as LandCoverClassesName gives it), or nullopt.
std::optional<LandCoverClasses> ParseLandCoverClasses(std::string_view name);

// Class codes a land-cover raster can hold: the 16-bit lattice's
// non-negative values.
inline constexpr int maxClassCode = 32767;
// The tallest representative clutter height a table may give, m.
inline constexpr double maxClutterHeight = 100.0;

class ClutterTable {
public:
    static ClutterTable BuiltIn(LandCoverClasses classes);

    // The height of each class, m; entries given later replace earlier ones.
    void Set(int code, double height);
    void Override(const std::map<int, double>& entries);
    const std::map<int, double>& Entries() const { return entries_; }

    // The class's height, or nullopt for a class the table does not hold.
    std::optional<double> HeightOf(int code) const {
        if (code < 0 || static_cast<std::size_t>(code) >= dense_.size() || !known_[code])
            return std::nullopt;
        return dense_[static_cast<std::size_t>(code)];
    }

    // Every entry as "code:height" words, in code order: two tables give the
    // same heights when their texts are equal.
    std::string Text() const;

private:
    std::map<int, double> entries_;
    std::vector<double> dense_; // by code, for the look-ups of a profile's samples
    std::vector<char> known_;
};

// A user's clutter table: one "class,height_m" line a class (a first line
// that does not start with a number is a header; blank lines and lines
// starting with '#' are skipped). Either the entries, or problem naming the
// first line that cannot be used: not two fields, a class that is not a
// whole number 0..32767, a height that is not a number within 0..100 m, a
// class given twice.
struct ClutterTableText {
    std::map<int, double> entries;
    std::string problem; // "" when the text was read
};
ClutterTableText ParseClutterTable(std::string_view text);

} // namespace kestrova
