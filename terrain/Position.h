// Folding of positions onto the globe, shared by the terrain store and the
// zone map.
#pragma once

namespace kestrova {

// Folds a latitude beyond a pole back onto the globe, moving the longitude
// by 180 degrees for each crossing, then brings the longitude into
// -180..180 by whole turns. Returns true when the south pole was crossed.
// A longitude of any size, or a non-finite one, never loops: non-finite
// input stays non-finite, and every look-up rejects it.
bool NormaliseLatLon(double& lat, double& lon);

// True when lat and lon are finite numbers.
bool IsFinitePosition(double lat, double lon);

} // namespace kestrova
