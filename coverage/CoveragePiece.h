// A block of a coverage map: the band of rows one process computed, with
// every input that defines the map, so that bands computed apart (one a
// task on the nodes of a cluster) are put together into the very grid that
// one process computes.
//
// The piece file: the 8 bytes "KSTPIECE", the format version (a 32-bit
// number), the map's inputs, the block's number and count, the band's
// first row and row count, and the band's 16-bit grid values row by row
// from the band's northern row, west first; in version 2 then the band's
// cells without terrain (CellMask's bytes, in the same order). Numbers are
// little-endian, real numbers their IEEE 754 doubles' bits: a piece holds
// its figures exactly.
//
// A band with terrain under every cell is written as version 1, which has
// no mask: the bytes earlier programs wrote for it. A version 1 piece is
// read as a band with terrain everywhere. A map with clutter from a land
// cover is written as version 3: version 2 with the land cover's text
// (CoverageMapInputs::landCover) after the map's inputs.
#pragma once

#include "coverage/CellMask.h"
#include "coverage/CoverageField.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kestrova {

// Every input that defines a map: the transmitter, the range and the area
// it gives, the link's inputs (N0 and ΔN, frequency, percentage, heights,
// edition and its options), the gaseous attenuation, and the weather as
// given, which the coverage file names.
struct CoverageMapInputs {
    double txLatitude = 0.0;
    double txLongitude = 0.0;
    double rangeKm = 0.0;
    CoverageArea area;
    LinkInputs link;
    double gamma = 0.0;
    double temperature = 0.0;
    double pressure = 0.0;
    double humidity = 0.0;
    // The land cover and its clutter table (ClutterTable::Text), when the
    // map's clutter came from one: "" for bare terrain.
    std::string landCover;
};

// The inputs by name, each with its exact value as text: two maps are the
// same map when these are equal. The land cover is named last, and only
// when the map has one.
std::vector<std::pair<std::string, std::string>> DescribeMapInputs(const CoverageMapInputs& map);

// A band of rows, row 0 the northern edge.
struct RowBand {
    int first = 0;
    int count = 0;
};

// Block index (1..count) of count: rows floor((index - 1) n / count) up to
// floor(index n / count) - 1. count must not exceed n (every band holds a
// row).
RowBand BlockRows(int n, int index, int count);

struct CoveragePiece {
    CoverageMapInputs map;
    int blockIndex = 1;
    int blockCount = 1;
    RowBand rows;
    std::vector<std::int16_t> cells; // rows.count x n, row by row, west first
    CellMask noTerrain;              // the same cells; empty: terrain under every one
};

// The newest format version; a piece without a cell lacking terrain is
// written as version 1, one without land cover as version 2 at most.
inline constexpr std::uint32_t coveragePieceVersion = 3;

std::string EncodeCoveragePiece(const CoveragePiece& piece);
// nullopt with the reason in error when the bytes are not a piece this
// program reads.
std::optional<CoveragePiece> DecodeCoveragePiece(std::string_view bytes, std::string& error);

// The band of a finished job (its first row and row count) as a piece.
CoveragePiece PieceOfJob(const CoverageJob& job, const CoverageMapInputs& map, int blockIndex,
                         int blockCount);

// A whole grid of 16-bit values, n x n row by row: the cells of pieces put
// together, read as the job's own cells read (hundredths of dB, NaN for
// noGridValue).
class Grid16Field final : public CoverageField {
public:
    Grid16Field(const CoverageArea& gridArea, std::vector<std::int16_t> gridCells,
                CellMask cellsWithoutTerrain = {});
    const CoverageArea& Area() const override { return area; }
    double Value(int i, int j) const override;
    bool NoTerrain(int i, int j) const override {
        return noTerrain.Get(static_cast<size_t>(i) * static_cast<size_t>(area.n) +
                             static_cast<size_t>(j));
    }
    long long CellsWithoutTerrain() const override {
        return static_cast<long long>(noTerrain.Count());
    }

private:
    CoverageArea area;
    std::vector<std::int16_t> cells;
    CellMask noTerrain;
};

struct NamedPiece {
    std::string name; // the file, for messages
    CoveragePiece piece;
};

// The map the pieces make: nullopt with a message naming the pieces when
// they are of different maps, overlap, or leave rows out.
struct AssembledMap {
    CoverageMapInputs map;
    std::vector<std::int16_t> cells; // n x n
    CellMask noTerrain;              // n x n, or empty: terrain under every cell
};
std::optional<AssembledMap> AssemblePieces(const std::vector<NamedPiece>& pieces,
                                           std::string& error);

} // namespace kestrova
