// The files of a coverage map (coverage file, colour grid, image, scale
// bar, KMZ, GeoTIFF), written alike by `coverage` from its job and by
// `merge` from the pieces of a map computed in blocks.
#pragma once

#include "cli/Args.h"
#include "cli/LinkOptions.h"
#include "coverage/Coverage.h"
#include "coverage/CoverageField.h"

#include <optional>
#include <ostream>
#include <set>
#include <string>

namespace kestrova::cli {

struct CoverageOutputs {
    std::optional<std::string> csv;
    std::optional<std::string> png; // one pixel a cell, colour map
    std::optional<std::string> image;
    std::optional<std::string> scale;
    std::optional<std::string> kmz;
    std::optional<std::string> geotiff;

    bool NeedImage() const { return image || kmz; }
    bool Any() const { return csv || png || image || scale || kmz || geotiff; }
};

// --range (required), --resolution (whole arc-seconds) and --threads (0:
// every core), each within its limits (UsageError naming it otherwise).
struct MapSize {
    double rangeKm = 0.0;
    int resolution = 0;
    int threads = 0;
};
MapSize ReadMapSize(const Args& args);

// --range, --resolution and --threads, which ReadMapSize reads.
void DeclareMapSize(OptionList& options);
// The map's display (--mode, --palette, the scales' limits, --contours) and
// the coverage file's --header/--no-header.
void DeclareCoverageDisplay(OptionList& options);
// The map's files: --csv, --png, --image, --scale, --kmz, --geotiff.
void DeclareCoverageFiles(OptionList& options);

// The display options (--mode, --palette, the limits) checked before any
// work: UsageError naming the option.
void CheckCoverageDisplay(const Args& args);

// The outputs named, their targets checked before any work (UsageError
// when none is given).
CoverageOutputs ReadCoverageOutputs(const Args& args);

// One warning line when a share (0..1) of what ("the area", "the block",
// "site 2's area") has no terrain, saying how such cells are marked;
// nothing for 0.
void WarnAboutMissingArea(double fraction, const std::string& what);

// "Calculation failed: ..." on out and 3 when a cell has no figure, nothing
// written; otherwise every output or none (InputError), and 0. The image's
// terrain is that of the square centred on the transmitter, as the window
// draws it, or on areaCentre for a square not centred on it (a site's
// square moved onto a grid it shares with others).
int WriteCoverageOutputs(const CoverageOutputs& outputs, const Args& args,
                         const CoverageField& field, const CoverageInputs& inputs,
                         const LinkOptions& options, std::ostream& out,
                         const CLocator* areaCentre = nullptr);

} // namespace kestrova::cli
