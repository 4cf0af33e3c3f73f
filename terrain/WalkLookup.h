// Look-ups along a walk: terrain heights and radio-climatic zones at the
// points of a walk along a great circle (geo/PathWalk.h), as
// CSRTM::GetNearest and CZONES::GetZone give them at CPath::PointAtRange's
// positions (CSRTM::HeightsAlong, CZONES::ZoneAt).
//
// A walk point is known only to within its error bounds, but both look-ups
// depend only on the grid cell a position falls in. Wherever every position
// within a point's bounds lies in the same cell (clear of its edges by more
// than the rounding of the look-up's own formula), the point's answer is
// the answer at PointAtRange's position; elsewhere it is left to the caller
// (kWalkUnsure, -1), who looks the exact position up.
//
// Heights: GetHeight reads sample trunc(|latMin - lat| / latStep) from the
// tile's south edge, and the same for the column: inside the tile that is
// the whole part of t = (lat - latMin) K, K samples a degree, moved by at
// most about 1e-12 sample by rounding (of the difference, of the division
// and of latStep = 1/K itself). A point whose t lies farther than its error
// (latErr K) plus kWalkEdgeCushion (1e-9) from a whole number reads the same
// sample by either formula, as does every position within its bounds.
//
// Zones: GetZone takes the cell whose centre is nearest, the whole part of
// (northCentre - lat) / latStep + 0.5 = 5400 - 60 lat (and 60 lon + 10800
// for the column), moved by at most about 5e-12 cell by rounding. Its cells
// are whole arc-minutes, and their edges are edges of the sample cells of
// 3" and 1" tiles (60 divides K): a point whose sample cell is sure lies in
// the zone cell holding that sample cell, 5399 - 60 latMin - floor(r / q)
// and 10800 + 60 lonMin + floor(c / q) for sample (r, c) counted from the
// tile's south-west corner, q = K / 60; the zone rounding (under 1e-10
// sample) stays inside the sample cell's 1e-9 cushion. A zone map made in
// memory on whole arc-minutes offsets those rows and columns by its own
// first ones, for tiles wholly inside it. Without a tile (or with a zone
// grid of other cells) the zone cell is checked on its own, with the same
// argument on the zone grid.
//
// Thread safety: as the store's; the zone map may be shared.
#pragma once

namespace kestrova {

// A height left to the caller: never a height (void reads -32767).
inline constexpr short kWalkUnsure = -32768;

// How far, in cells, a point's bounds must clear its cell's edges.
inline constexpr double kWalkEdgeCushion = 1e-9;

} // namespace kestrova
