// The coverage walk's functions that have an AVX2 clone, built with the
// baseline version alone (the processor's baseline instructions): the same
// sources as geo/PathWalk.cpp and terrain/WalkLookup.cpp.
#pragma once

namespace kestrova {

class CPath;
class CSRTM;
class CZONES;
struct WalkPoints;

// WalkGreatCircle's baseline version.
int BaselineWalk(const CPath& path, double stepKm, int count, const WalkPoints& points);
// CSRTM::HeightsAlong's baseline version.
void BaselineLookUp(CSRTM& store, const CZONES& zones, const WalkPoints& points, int count,
                    short* heights, int* zoneCodes);

} // namespace kestrova
