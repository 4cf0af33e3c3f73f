#include "propagation/Refractivity.h"

#include "geo/FileLocations.h"
#include "inputs/InputLimits.h"

#include <iterator>
#include <limits>
#include <utility>

namespace kestrova {
namespace {

// Maps 0..15 and the two stand-ins. The 1.5° grids run from 90°N to 90°S in
// 121 rows and from 0° to 360°E in 241 columns (the last column repeats the
// first); the 0.5° grids hold 347 rows from 83°N southwards and 720 columns
// from 180°W.
// clang-format off
const MapFile descriptors[] = {
    {90,   "DNDZ_90.TXT",  -90, 1.5, 121,    0, 1.5, 241, {}},
    {50,   "DNDZ_50.TXT",  -90, 1.5, 121,    0, 1.5, 241, {}},
    {10,   "DNDZ_10.TXT",  -90, 1.5, 121,    0, 1.5, 241, {}},
    {0.01, "DNDZ_01.TXT",  -90, 1.5, 121,    0, 1.5, 241, {}},
    {50,   "ESATEMP.TXT",  -90, 1.5, 121,    0, 1.5, 241, {}},
    {50,   "ESANWET.TXT",  -90, 1.5, 121,    0, 1.5, 241, {}},
    {50,   "S_OCCUR.TXT",  -90, 1.5, 121,    0, 1.5, 241, {}},
    {50,   "S_THICK.TXT",  -90, 1.5, 121,    0, 1.5, 241, {}},
    {50,   "S_STREN.TXT",  -90, 1.5, 121,    0, 1.5, 241, {}},
    {0,    "E_OCCUR.TXT",  -90, 1.5, 121,    0, 1.5, 241, {}},
    {50,   "E_THICK.TXT",  -90, 1.5, 121,    0, 1.5, 241, {}},
    {50,   "E_STREN.TXT",  -90, 1.5, 121,    0, 1.5, 241, {}},
    {50,   "E_base.TXT",   -90, 1.5, 121,    0, 1.5, 241, {}},
    {50,   "E__MAX_m.TXT", -90, 1.5, 121,    0, 1.5, 241, {}},
    {50,   "n0.txt",       -90, 0.5, 347, -180, 0.5, 720, {}},
    {50,   "dn.txt",       -90, 0.5, 347, -180, 0.5, 720, {}},
    {50,   "N050.TXT",     -90, 1.5, 121,    0, 1.5, 241, {}},
    {50,   "DN50.TXT",     -90, 1.5, 121,    0, 1.5, 241, {}},
};
// clang-format on

// The values a map of each quantity can hold; any other value at a node
// counts as no data there. N0 and ΔN take the limits of their inputs (ΔN
// such that k = 157 / (157 - ΔN) stays a positive, finite factor within the
// k-factor's limits); the gradients and duct occurrences physical bounds.
// Maps no look-up reads keep whatever finite values they hold.
constexpr int mapN050 = CRefractivity::mapCount; // the stand-ins follow the sixteen maps
constexpr int mapDN50 = CRefractivity::mapCount + 1;

struct Plausible {
    double minimum;
    double maximum;
};

Plausible PlausibleRange(int index) {
    constexpr double any = std::numeric_limits<double>::max();
    switch (index) {
    case CRefractivity::DNDZ_90:
    case CRefractivity::DNDZ_50:
    case CRefractivity::DNDZ_10:
    case CRefractivity::DNDZ_01:
        return {-10000.0, 10000.0}; // N-units/km
    case CRefractivity::S_OCCUR:
    case CRefractivity::E_OCCUR:
        return {0.0, 100.0}; // % of time
    case CRefractivity::N0:
    case mapN050:
        return {limits::n0.minimum, limits::n0.maximum};
    case CRefractivity::DN:
    case mapDN50:
        return {limits::deltaN.minimum, limits::deltaN.maximum};
    default:
        return {-any, any};
    }
}

std::vector<std::string> DefaultDirectories() {
    return {"", ExecutableDirectory(), InstalledDataDirectory()};
}

} // namespace

CRefractivity::CRefractivity() : CRefractivity(DefaultDirectories()) {}

CRefractivity::CRefractivity(std::vector<std::string> searchDirectories)
    : directories(std::move(searchDirectories)) {
    static_assert(std::size(descriptors) == slotCount);
    for (int i = 0; i < slotCount; ++i)
        mapSlots[i].map = descriptors[i];
}

const MapFile& CRefractivity::Descriptor(int index) {
    return descriptors[index];
}

CRefractivity::MapIndex CRefractivity::ChooseGradientMap(double percent) {
    for (MapIndex index : {DNDZ_90, DNDZ_50, DNDZ_10, DNDZ_01})
        if (descriptors[index].percent < percent + 1e-10) return index;
    return DNDZ_90;
}

// Double-checked: the flag is set (release) only after the grid is complete,
// so a reader that sees it (acquire) sees the whole grid.
const MapFile* CRefractivity::Loaded(int index) const {
    Slot& slot = mapSlots[index];
    if (slot.loaded.load(std::memory_order_acquire)) return &slot.map;
    if (slot.failed.load(std::memory_order_acquire) &&
        !retryFailures.load(std::memory_order_relaxed))
        return nullptr;
    const std::lock_guard<std::mutex> lock(slot.loading);
    if (slot.loaded.load(std::memory_order_relaxed)) return &slot.map;
    const std::string path = FindFileIgnoringCase(slot.map.fileName, directories);
    if (path.empty()) {
        slot.problem = "missing";
        slot.failed.store(true, std::memory_order_release);
        return nullptr;
    }
    if (!LoadMap(slot.map, path, &slot.problem)) {
        slot.failed.store(true, std::memory_order_release);
        return nullptr;
    }
    slot.problem.clear();
    slot.failed.store(false, std::memory_order_relaxed);
    const Plausible range = PlausibleRange(index);
    ClearImplausibleNodes(slot.map, range.minimum, range.maximum);
    slot.loaded.store(true, std::memory_order_release);
    return &slot.map;
}

const MapFile* CRefractivity::LoadedOrStandIn(int index, int standIn) const {
    const MapFile* map = Loaded(index);
    return map != nullptr ? map : Loaded(standIn);
}

CRefractivity::MapState CRefractivity::State(int index) const {
    MapState state;
    state.fileName = descriptors[index].fileName;
    state.loaded = Loaded(index) != nullptr;
    if (!state.loaded) {
        const std::lock_guard<std::mutex> lock(mapSlots[index].loading);
        state.problem = mapSlots[index].problem;
    }
    return state;
}

std::vector<CRefractivity::MapState> CRefractivity::UnusableRefractivityMaps() const {
    std::vector<MapState> unusable;
    for (const auto& [index, standIn] : {std::pair{int{N0}, N050}, std::pair{int{DN}, DN50}}) {
        const MapState fine = State(index);
        if (fine.loaded) continue;
        const MapState coarse = State(standIn);
        if (coarse.loaded) continue;
        if (fine.problem != "missing") unusable.push_back(fine);
        unusable.push_back(coarse);
    }
    return unusable;
}

bool CRefractivity::Lookup(const MapFile* map, double lat, double lon, bool interpolate,
                           double& value) const {
    return map != nullptr && LookupMap(*map, lat, lon, interpolate, value);
}

bool CRefractivity::GetDNDZ(double percent, double lat, double lon, double& dndz) const {
    return Lookup(Loaded(ChooseGradientMap(percent)), lat, lon, true, dndz);
}

bool CRefractivity::GetSurfaceDuctOccurrence(double lat, double lon, bool interpolate,
                                             double& beta0) const {
    return Lookup(Loaded(S_OCCUR), lat, lon, interpolate, beta0);
}

bool CRefractivity::GetElevatedDuctOccurrence(double lat, double lon, bool interpolate,
                                              double& betaE) const {
    return Lookup(Loaded(E_OCCUR), lat, lon, interpolate, betaE);
}

bool CRefractivity::GetN0(double lat, double lon, bool interpolate, double& n0) const {
    return Lookup(LoadedOrStandIn(N0, N050), lat, lon, interpolate, n0);
}

bool CRefractivity::GetDeltaN(double lat, double lon, bool interpolate, double& deltaN) const {
    return Lookup(LoadedOrStandIn(DN, DN50), lat, lon, interpolate, deltaN);
}

} // namespace kestrova
