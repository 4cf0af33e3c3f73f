#include "cli/LandCoverOptions.h"

#include "cli/Commands.h"
#include "files/InputFile.h"

#include <cstdint>
#include <cstdio>
#include <ostream>

namespace kestrova::cli {
namespace {

constexpr std::size_t kMostClutterTableBytes = 1024 * 1024;

} // namespace

void DeclareLandCoverOptions(OptionList& options) {
    options.Value("land-cover", "FILE",
                  "Land-cover raster of class codes, for the clutter at the ends (P.452-18)");
    options.Value("land-cover-classes", "worldcover|corine",
                  "The land cover's classes (default worldcover)");
    options.Value("clutter-table", "FILE",
                  "CSV of class,height_m lines over the built-in clutter heights");
}

ClutterTable ReadClutterTable(const std::string& path, ClutterTable table) {
    std::string text;
    std::string problem;
    if (!ReadWholeFile(path, kMostClutterTableBytes, text, problem))
        throw InputError("clutter table \"" + path + "\" " + problem);
    const ClutterTableText parsed = ParseClutterTable(text);
    if (!parsed.problem.empty())
        throw InputError("clutter table \"" + path + "\" " + parsed.problem);
    table.Override(parsed.entries);
    return table;
}

std::shared_ptr<const CLandCover> ReadLandCover(const Args& args) {
    const auto path = args.Value("land-cover");
    const auto classesName = args.Value("land-cover-classes");
    const auto tableFile = args.Value("clutter-table");
    if (!path) {
        for (const char* option : {"land-cover-classes", "clutter-table"})
            if (args.Value(option))
                throw UsageError(std::string("option --") + option + " goes with --land-cover");
        return nullptr;
    }
    const auto classes = ParseLandCoverClasses(
        classesName.value_or(LandCoverClassesName(LandCoverClasses::WorldCover)));
    if (!classes)
        throw UsageError("option --land-cover-classes must be worldcover or corine, not \"" +
                         *classesName + "\"");
    ClutterTable table = ClutterTable::BuiltIn(*classes);
    if (tableFile) table = ReadClutterTable(*tableFile, std::move(table));
    std::string problem;
    auto cover = CLandCover::Open(*path, std::move(table), problem);
    if (!cover) throw InputError("land cover \"" + *path + "\" " + problem);
    return cover;
}

void NoteLandCoverEdition(const std::shared_ptr<const CLandCover>& cover, Edition edition) {
    if (cover && edition != Edition::P452_18)
        Warnings() << "note: ITU-R P.452-14 takes no clutter heights: the land cover is not "
                      "used (--edition 18 uses it)\n";
}

std::string UnknownClassesText(const CLandCover& cover) {
    const std::vector<int> codes = cover.UnknownCodes();
    if (codes.empty()) return {};
    std::string list;
    for (const int code : codes)
        list += (list.empty() ? "" : ", ") + std::to_string(code);
    return "land cover \"" + cover.Path() + "\": class" + (codes.size() == 1 ? " " : "es ") + list +
           (codes.size() == 1 ? " is" : " are") +
           " not in the clutter table and read as 0 m of clutter (--land-cover-classes chooses "
           "the table, --clutter-table adds classes)";
}

void WarnAboutLandCover(const std::shared_ptr<const CLandCover>& cover) {
    if (!cover) return;
    for (const std::string& problem : cover->Problems())
        Warnings() << "warning: land cover " << problem << ": its clutter read as 0 m there\n";
    if (const std::string text = UnknownClassesText(*cover); !text.empty())
        Warnings() << "warning: " << text << "\n";
}

std::string LandCoverText(const LinkInputs& link) {
    if (!link.landCover || link.edition != Edition::P452_18) return {};
    std::uint64_t hash = 1469598103934665603ull; // FNV-1a of the table's text
    for (const char c : link.landCover->Table().Text())
        hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    char text[32];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
    return link.landCover->Path() + ", clutter table " + text;
}

} // namespace kestrova::cli
