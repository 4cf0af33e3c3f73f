// Compiled with WalkGreatCircle and the stores' walk look-ups renamed
// (CMakeLists.txt), as are the library's sources beside it in this target.
#include "BaselineWalk.h"
#include "geo/PathWalk.h"
#include "terrain/SRTM.h"
#include "terrain/WalkLookup.h"

namespace kestrova {

int BaselineWalk(const CPath& path, double stepKm, int count, const WalkPoints& points) {
    return WalkGreatCircle(path, stepKm, count, points);
}

void BaselineLookUp(CSRTM& store, const CZONES& zones, const WalkPoints& points, int count,
                    short* heights, int* zoneCodes) {
    store.HeightsAlong(points, count, zones, heights, zoneCodes);
}

} // namespace kestrova
