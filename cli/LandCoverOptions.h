// The land-cover options of the commands that run the engine: --land-cover
// (a raster of class codes), --land-cover-classes (worldcover, the default,
// or corine: the table of the clutter height of each class) and
// --clutter-table (a CSV of class,height_m lines over that table).
#pragma once

#include "cli/Args.h"
#include "propagation/engine/Terrain.h"

#include <memory>
#include <set>
#include <string>

namespace kestrova::cli {

void DeclareLandCoverOptions(OptionList& options);

// The land cover of the options, null without --land-cover. UsageError for
// an unknown class table or a table option without --land-cover;
// InputError naming the file for a raster or clutter table that cannot be
// read (a clutter table's bad line with its number).
std::shared_ptr<const CLandCover> ReadLandCover(const Args& args);

// The clutter table CSV at path; InputError naming the file and line.
ClutterTable ReadClutterTable(const std::string& path, ClutterTable table);

// A note when the edition takes no clutter heights from the land cover.
void NoteLandCoverEdition(const std::shared_ptr<const CLandCover>& cover, Edition edition);
// After the calculations: a warning for the cells of the land cover that
// could not be read, and one naming the classes its table does not hold.
void WarnAboutLandCover(const std::shared_ptr<const CLandCover>& cover);
// The warnings' texts ("" none).
std::string UnknownClassesText(const CLandCover& cover);

// What a map's clutter depends on: the land cover's path and a digest of
// its table ("" when the map has none: no land cover, or P.452-14).
std::string LandCoverText(const LinkInputs& link);

} // namespace kestrova::cli
