// CRefractivity::LookupMap: the value of a gridded map at a position, from
// the nearest node or blended from the four nodes around it.
#include "propagation/Refractivity.h"

#include <algorithm>
#include <cmath>

namespace kestrova {
namespace {

// A truncated row or column number as an index; false unless 0 <= x < count.
bool ToIndex(double x, int count, int& index) {
    if (!(x >= 0.0 && x < count)) return false;
    index = static_cast<int>(x);
    return true;
}

// A column one past the east edge is taken across the wrap on grids that go
// round the globe (column 720 of the 0.5° grids is column 0, 180°E = 180°W).
bool WrapEastColumn(const MapFile& map, int& col) {
    if (col < map.cols) return true;
    const int turn = map.ColumnsPerTurn();
    if (turn == 0 || col != map.cols) return false;
    col %= turn;
    return true;
}

// The column of the grid line nearest to lon. One past the last column (lon
// from 179.75°E to 180° on the 0.5° grids) is taken across the wrap.
bool ColumnOf(const MapFile& map, double lon, int& col) {
    const double c = std::trunc(((lon - map.lon0) + map.lonStep / 2) / map.lonStep);
    if (c == map.cols) {
        col = map.cols;
        return WrapEastColumn(map, col);
    }
    return ToIndex(c, map.cols, col);
}

bool LookupNearest(const MapFile& map, double lat, double lon, double& value) {
    int row = 0;
    if (!ToIndex(std::trunc(map.rows - ((lat - map.lat0) + map.latStep / 2) / map.latStep),
                 map.rows, row))
        return false;
    if (map.lon0 >= 0.0 && lon < 0.0) lon += 360.0;
    int col = 0;
    if (!ColumnOf(map, lon, col)) return false;
    const double node = map.At(row, col);
    // A node without data is no value, not a refractivity of -9999.
    if (node <= mapNoData) return false;
    value = node;
    return true;
}

// The grid lines around a point: latS and lonW are the lines at or below
// it, latN and lonE the next ones up.
struct Cell {
    double latN, latS, lonW, lonE;
};

Cell CellAround(const MapFile& map, double lat, double lon) {
    const double dLat = map.latStep;
    const double dLon = map.lonStep;
    return {std::floor((lat + dLat / 2) / dLat + 0.5) * dLat,
            std::floor((lat - dLat / 2) / dLat + 0.5) * dLat,
            std::floor((lon - dLon / 2) / dLon + 0.5) * dLon,
            std::floor((lon + dLon / 2) / dLon + 0.5) * dLon};
}

// The northern row of the pair around cell.latN. At and beyond the grid's
// northern and southern edges (90°N, or 83°N on the 0.5° grids) the pair is
// the outermost two rows; the cell is then moved onto those rows and the
// point onto the edge, so that every corner is weighted at its own latitude
// rather than one row away from it.
int NorthRow(const MapFile& map, Cell& cell, double& lat) {
    const double r =
        std::trunc(map.rows - ((cell.latN - map.lat0) + map.latStep / 2) / map.latStep);
    const int row = static_cast<int>(std::clamp(r, 0.0, map.rows - 2.0));
    if (std::fabs(map.RowLatitude(row) - cell.latN) > 1e-9) {
        cell.latN = map.RowLatitude(row);
        cell.latS = map.RowLatitude(row + 1);
        lat = std::clamp(lat, cell.latS, cell.latN);
    }
    return row;
}

// Brings lonW and lonE onto the grid's range of longitudes.
void WrapLongitudes(const MapFile& map, Cell& cell) {
    const double west = map.lon0 >= 0.0 ? 0.0 : -180.0;
    if (cell.lonW < west) cell.lonW += 360.0;
    if (cell.lonE > west + 360.0) cell.lonE -= 360.0;
}

// A longitude difference the short way round.
double LonDifference(double lon, double gridLon) {
    const double d = std::fabs(lon - gridLon);
    return d > 180.0 ? 360.0 - d : d;
}

struct Blend {
    double R;
    double sum = 0.0;
    double weightSum = 0.0;

    // A corner counts with weight R - distance (degrees, longitude not
    // scaled by cos φ) when that lies in 0..R and the node has data.
    void Add(double value, double dLat, double dLon) {
        const double weight = R - std::sqrt(dLat * dLat + dLon * dLon);
        if (weight < 0.0 || weight > R || !(value > mapNoData)) return;
        sum += value * weight;
        weightSum += weight;
    }
};

bool LookupInterpolated(const MapFile& map, double lat, double lon, double& value) {
    if (map.rows < 2 || map.cols < 2) return false;
    Cell cell = CellAround(map, lat, lon);
    const int row = NorthRow(map, cell, lat);
    WrapLongitudes(map, cell);
    int west = 0;
    if (!ColumnOf(map, cell.lonW, west)) return false;
    int east = west + 1;
    if (!WrapEastColumn(map, east)) return false;

    const double dW = LonDifference(lon, cell.lonW);
    const double dE = LonDifference(lon, cell.lonE);
    Blend blend{std::sqrt(map.latStep * map.latStep + map.lonStep * map.lonStep)}; // R
    blend.Add(map.At(row, west), lat - cell.latN, dW);
    blend.Add(map.At(row, east), lat - cell.latN, dE);
    blend.Add(map.At(row + 1, west), lat - cell.latS, dW);
    blend.Add(map.At(row + 1, east), lat - cell.latS, dE);
    if (blend.weightSum <= 0.0) return false;
    // Nodes near the largest double overflow the weighted sum: no value
    // rather than an infinite one.
    const double blended = blend.sum / blend.weightSum;
    if (!std::isfinite(blended)) return false;
    value = blended;
    return true;
}

} // namespace

bool CRefractivity::LookupMap(const MapFile& map, double lat, double lon, bool interpolate,
                              double& value) {
    const bool usable = map.IsLoaded() && map.rows > 0 && map.cols > 0 &&
                        map.data.size() == static_cast<std::size_t>(map.rows) *
                                               static_cast<std::size_t>(map.cols) &&
                        map.latStep > 0.0 && map.lonStep > 0.0;
    if (!usable || !std::isfinite(lat) || !std::isfinite(lon)) return false;
    return interpolate ? LookupInterpolated(map, lat, lon, value)
                       : LookupNearest(map, lat, lon, value);
}

} // namespace kestrova
