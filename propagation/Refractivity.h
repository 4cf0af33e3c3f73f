// CRefractivity: the gridded radio-meteorological maps the engine and the
// refractivity view need at a location — sea-level surface refractivity N0,
// refractivity lapse rate ΔN, the refractivity gradient of the lowest 65 m
// for four time percentages, and the occurrence of surface and elevated
// ducts — after ITU-R P.453 and P.452.
//
// Each map is read from its file on the first look-up that needs it and kept
// until destruction; a map that cannot be read makes its look-ups fail (and
// the next look-up tries the file again). Files are looked for by name
// without regard to letter case, in the working directory, then beside the
// executable, then in the installed data directory. Where the 0.5° maps
// n0.txt and dn.txt are absent (or cannot be read), the 1.5° maps N050.TXT
// and DN50.TXT of ITU-R P.452 stand in for them.
//
// Threads: every Get* operation is const and may be called from any number
// of threads at once on one shared object (the coverage walk does). A map is
// loaded under its own lock; once loaded it is never written again, so
// look-ups of loaded maps take no lock.
#pragma once

#include "propagation/MapFile.h"

#include <array>
#include <atomic>
#include <mutex>
#include <string>
#include <vector>

namespace kestrova {

class CRefractivity {
public:
    // The sixteen maps, in the order of the descriptor table.
    enum MapIndex : int {
        DNDZ_90,
        DNDZ_50,
        DNDZ_10,
        DNDZ_01,
        ESATEMP,
        ESANWET,
        S_OCCUR,
        S_THICK,
        S_STREN,
        E_OCCUR,
        E_THICK,
        E_STREN,
        E_BASE,
        E_MAX,
        N0,
        DN,
        mapCount
    };

    // Looks for the map files in the working directory, beside the
    // executable and in the installed data directory.
    CRefractivity();
    // Looks for them in the given directories, in order ("" is the working
    // directory).
    explicit CRefractivity(std::vector<std::string> searchDirectories);
    virtual ~CRefractivity() = default;
    CRefractivity(const CRefractivity&) = delete;
    CRefractivity& operator=(const CRefractivity&) = delete;

    // Every look-up takes latitude and longitude in degrees (north and east
    // positive) and returns true with the value in the out-parameter, or
    // false with it untouched (no map, no data there).

    // Refractivity gradient of the lowest 65 m not exceeded for percent of
    // the time, N-units/km, always interpolated.
    bool GetDNDZ(double percent, double lat, double lon, double& dndz) const;
    // Percentage of time with surface ducts (β0) and elevated ducts.
    bool GetSurfaceDuctOccurrence(double lat, double lon, bool interpolate, double& beta0) const;
    bool GetElevatedDuctOccurrence(double lat, double lon, bool interpolate, double& betaE) const;
    // Sea-level surface refractivity N0, N-units.
    bool GetN0(double lat, double lon, bool interpolate, double& n0) const;
    // Average radio-refractive index lapse rate ΔN through the lowest 1 km,
    // N-units/km.
    bool GetDeltaN(double lat, double lon, bool interpolate, double& deltaN) const;

    // The gradient map GetDNDZ reads for percent: the one of the largest
    // percentage not above percent, the 90 % map below 0.01 %.
    static MapIndex ChooseGradientMap(double percent);

    // The value of a loaded map at a position: the nearest node, or the
    // four nodes around the position blended with weights R - distance (R
    // the cell diagonal, distances in degrees). False off the grid and where
    // there is no data: a nearest node of -9999 or less, or no blended corner
    // with data and a weight above 0. On grids that go round the globe a
    // column one past the east edge is taken across the wrap; at and beyond
    // the first and last rows the blend uses the outermost two rows at their
    // own latitudes.
    static bool LookupMap(const MapFile& map, double lat, double lon, bool interpolate,
                          double& value);

    // What became of one map file: loaded, or why it cannot be used
    // ("missing", "28,000 of 29,161 numbers").
    struct MapState {
        std::string fileName;
        bool loaded = false;
        std::string problem; // "" when loaded
    };
    // Loads the map of slot (0..15 the sixteen maps, 16 and 17 the
    // stand-ins for n0.txt and dn.txt) if it is not loaded yet and says what
    // became of it.
    MapState State(int slot) const;
    // The map files GetN0 and GetDeltaN could not use, each with its reason:
    // for each quantity nothing when a map of it loaded, else the 0.5° map
    // when it is present but damaged and the 1.5° stand-in.
    std::vector<MapState> UnusableRefractivityMaps() const;

    // From now on a map file that could not be read is not looked for
    // again (by default each look-up tries once more, so that files put in
    // place while the program runs are found): for many look-ups in a row,
    // such as a batch of links, where a missing map would otherwise cost a
    // directory search each time.
    void KeepFailures() { retryFailures.store(false, std::memory_order_relaxed); }

    // The descriptors, data empty: index 0..15 the sixteen maps, 16 and 17
    // the stand-ins for n0.txt and dn.txt.
    static const MapFile& Descriptor(int index);

private:
    static constexpr int N050 = mapCount;
    static constexpr int DN50 = mapCount + 1;

public:
    static constexpr int slotCount = mapCount + 2;

private:
    struct Slot {
        MapFile map;
        std::mutex loading;
        std::atomic<bool> loaded{false};
        std::atomic<bool> failed{false}; // the last attempt failed
        std::string problem; // why the last attempt failed; under the lock
    };

    // The map of index once loaded, or nullptr when its file cannot be read.
    const MapFile* Loaded(int index) const;
    // Loaded(index), or else Loaded(standIn).
    const MapFile* LoadedOrStandIn(int index, int standIn) const;
    bool Lookup(const MapFile* map, double lat, double lon, bool interpolate, double& value) const;

    std::vector<std::string> directories;
    mutable std::array<Slot, slotCount> mapSlots;
    std::atomic<bool> retryFailures{true};
};

} // namespace kestrova
