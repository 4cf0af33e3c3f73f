// LinkState: what the main window keeps between calculations and shares
// with its pages: the two ends of the last calculation, the input mode, the
// run's flags, the last path's bearing and gaseous loss, the refractivity of
// the last successful calculation, the directories, and the long-lived data
// objects, which the window owns for the whole run.
#pragma once

#include "geo/Locator.h"
#include "maps/Palette.h"
#include "propagation/Refractivity.h"
#include "propagation/engine/Terrain.h"
#include "terrain/LandCover.h"
#include "terrain/SRTM.h"
#include "terrain/Zones.h"

#include <memory>
#include <string>

namespace kestrova {

struct LinkState {
    CLocator txLocation;
    CLocator rxLocation;
    CLocator cursorLocation;
    bool initialised = false; // start-up (or a reset) has finished
    bool abortRequested = false;
    double pathBearing = 0.0; // degrees, TX to RX, last valid calculation
    double pathGasLoss = 0.0; // dB over the last valid path
    double lastN0 = 320.0;
    double lastDeltaN = 45.0;
    bool lastFromMaps = false; // lastN0 and lastDeltaN are an earlier link's map values
    bool firstResultsSave = true;
    std::string startDirectory;   // working directory at start-up, trailing '/'
    std::string mapDirectory;     // terrain tiles, trailing '/' (empty: working directory)
    std::string terrainDirectory; // the tiles in use: mapDirectory's, or the demo tile's
    std::string programDirectory; // the executable's directory, trailing '/'
    std::string settingsNotes;    // values of profile.ini replaced by defaults, and why
    std::string lastFolder;       // of the last file chosen in a file dialog, trailing '/'
    // The land cover of P.452-18's clutter heights: its raster ("" none),
    // its classes, a user's clutter table over them ("" none), and the
    // raster opened (null when none or when it cannot be read).
    std::string landCoverFile;
    LandCoverClasses landCoverClasses = LandCoverClasses::WorldCover;
    std::string clutterTableFile;
    std::shared_ptr<const CLandCover> landCover;

    std::unique_ptr<CSRTM> terrainStore;
    std::unique_ptr<CZONES> zoneMap;
    std::unique_ptr<CTerrain> engine;
    std::unique_ptr<CRefractivity> refractivity;
    std::unique_ptr<CPalette> palette;
};

} // namespace kestrova
