#include "coverage/CoveragePiece.h"

#include "coverage/ByteCodec.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

namespace kestrova {
namespace {

constexpr char magic[8] = {'K', 'S', 'T', 'P', 'I', 'E', 'C', 'E'};
constexpr size_t kMostLandCoverText = 8192; // a path and its table's digest

using bytes::Reader;
using bytes::Writer;

void WriteMap(Writer& w, const CoverageMapInputs& m) {
    w.F64(m.txLatitude);
    w.F64(m.txLongitude);
    w.F64(m.rangeKm);
    const CoverageArea& a = m.area;
    w.F64(a.north);
    w.F64(a.south);
    w.F64(a.east);
    w.F64(a.west);
    w.F64(a.extent);
    w.I32(a.resolution);
    w.F64(a.step);
    w.I32(a.n);
    const LinkInputs& l = m.link;
    w.F64(l.n0);
    w.F64(l.deltaN);
    w.F64(l.frequency);
    w.F64(l.timePercent);
    w.F64(l.htg);
    w.F64(l.hrg);
    w.I32(static_cast<int>(l.edition));
    w.I32(static_cast<int>(l.polarisation));
    w.F64(l.txGain);
    w.F64(l.rxGain);
    w.Optional(l.dct);
    w.Optional(l.dcr);
    w.F64(l.pressure);
    w.F64(l.temperature);
    w.Bool(l.gas);
    w.F64(m.gamma);
    w.F64(m.temperature);
    w.F64(m.pressure);
    w.F64(m.humidity);
}

CoverageMapInputs ReadMap(Reader& r) {
    CoverageMapInputs m;
    m.txLatitude = r.F64();
    m.txLongitude = r.F64();
    m.rangeKm = r.F64();
    CoverageArea& a = m.area;
    a.north = r.F64();
    a.south = r.F64();
    a.east = r.F64();
    a.west = r.F64();
    a.extent = r.F64();
    a.resolution = r.I32();
    a.step = r.F64();
    a.n = r.I32();
    LinkInputs& l = m.link;
    l.n0 = r.F64();
    l.deltaN = r.F64();
    l.frequency = r.F64();
    l.timePercent = r.F64();
    l.htg = r.F64();
    l.hrg = r.F64();
    const int edition = r.I32();
    if (edition != static_cast<int>(Edition::P452_14) &&
        edition != static_cast<int>(Edition::P452_18))
        r.ok = false;
    l.edition = static_cast<Edition>(edition);
    const int polarisation = r.I32();
    if (polarisation != static_cast<int>(p452v18::Polarisation::Vertical) &&
        polarisation != static_cast<int>(p452v18::Polarisation::Horizontal))
        r.ok = false;
    l.polarisation = static_cast<p452v18::Polarisation>(polarisation);
    l.txGain = r.F64();
    l.rxGain = r.F64();
    l.dct = r.Optional();
    l.dcr = r.Optional();
    l.pressure = r.F64();
    l.temperature = r.F64();
    l.gas = r.Bool();
    m.gamma = r.F64();
    m.temperature = r.F64();
    m.pressure = r.F64();
    m.humidity = r.F64();
    return m;
}

std::string Exact(double value) {
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}

std::string ExactOptional(const std::optional<double>& value) {
    return value ? Exact(*value) : "none";
}

// "rows 3-9" (1-based, as a reader counts them).
std::string Rows(int first, int end) {
    return first + 1 == end ? "row " + std::to_string(end)
                            : "rows " + std::to_string(first + 1) + "-" + std::to_string(end);
}

std::string Named(const NamedPiece& p) {
    return p.name + " (block " + std::to_string(p.piece.blockIndex) + "/" +
           std::to_string(p.piece.blockCount) + ", " +
           Rows(p.piece.rows.first, p.piece.rows.first + p.piece.rows.count) + ")";
}

} // namespace

std::vector<std::pair<std::string, std::string>> DescribeMapInputs(const CoverageMapInputs& m) {
    const LinkInputs& l = m.link;
    std::vector<std::pair<std::string, std::string>> inputs{
        {"transmitter latitude", Exact(m.txLatitude)},
        {"transmitter longitude", Exact(m.txLongitude)},
        {"range (km)", Exact(m.rangeKm)},
        {"resolution (arc-seconds)", std::to_string(m.area.resolution)},
        {"cells a side", std::to_string(m.area.n)},
        {"northern edge", Exact(m.area.north)},
        {"southern edge", Exact(m.area.south)},
        {"eastern edge", Exact(m.area.east)},
        {"western edge", Exact(m.area.west)},
        {"extent", Exact(m.area.extent)},
        {"step", Exact(m.area.step)},
        {"frequency (GHz)", Exact(l.frequency)},
        {"time percentage", Exact(l.timePercent)},
        {"transmitter height (m)", Exact(l.htg)},
        {"receiver height (m)", Exact(l.hrg)},
        {"N0", Exact(l.n0)},
        {"delta N", Exact(l.deltaN)},
        {"edition", l.edition == Edition::P452_18 ? "P.452-18" : "P.452-14"},
        {"polarisation", l.polarisation == p452v18::Polarisation::Horizontal ? "h" : "v"},
        {"transmitter gain (dBi)", Exact(l.txGain)},
        {"receiver gain (dBi)", Exact(l.rxGain)},
        {"transmitter distance to the coast (km)", ExactOptional(l.dct)},
        {"receiver distance to the coast (km)", ExactOptional(l.dcr)},
        {"dry-air pressure (hPa)", Exact(l.pressure)},
        {"gas temperature (C)", Exact(l.temperature)},
        {"gaseous absorption", l.gas ? "on" : "off"},
        {"gaseous attenuation (dB/km)", Exact(m.gamma)},
        {"temperature (C)", Exact(m.temperature)},
        {"pressure (hPa)", Exact(m.pressure)},
        {"humidity (%)", Exact(m.humidity)},
    };
    if (!m.landCover.empty()) inputs.emplace_back("land cover", m.landCover);
    return inputs;
}

RowBand BlockRows(int n, int index, int count) {
    const auto edge = [n, count](int k) {
        return static_cast<int>(static_cast<long long>(k) * n / count);
    };
    return {edge(index - 1), edge(index) - edge(index - 1)};
}

std::string EncodeCoveragePiece(const CoveragePiece& piece) {
    Writer w;
    w.Bytes(magic, sizeof magic);
    const bool clutter = !piece.map.landCover.empty();
    const bool masked = clutter || piece.noTerrain.Any();
    w.U32(clutter ? 3 : masked ? 2 : 1);
    WriteMap(w, piece.map);
    if (clutter) w.Text(piece.map.landCover);
    w.I32(piece.blockIndex);
    w.I32(piece.blockCount);
    w.I32(piece.rows.first);
    w.I32(piece.rows.count);
    for (const std::int16_t cell : piece.cells)
        w.I16(cell);
    if (masked) {
        const CellMask none(piece.cells.size());
        const CellMask& mask = piece.noTerrain.Any() ? piece.noTerrain : none;
        w.Bytes(mask.Bytes().data(), mask.Bytes().size());
    }
    return std::move(w.text);
}

std::optional<CoveragePiece> DecodeCoveragePiece(std::string_view bytes, std::string& error) {
    if (bytes.size() < sizeof magic || std::memcmp(bytes.data(), magic, sizeof magic) != 0) {
        error = "not a coverage piece";
        return std::nullopt;
    }
    Reader r(bytes.substr(sizeof magic));
    const std::uint32_t version = r.U32();
    if (r.ok && (version < 1 || version > coveragePieceVersion)) {
        error = "a coverage piece of format version " + std::to_string(version) +
                "; this program reads versions 1 to " + std::to_string(coveragePieceVersion);
        return std::nullopt;
    }
    CoveragePiece piece;
    piece.map = ReadMap(r);
    if (version >= 3) {
        piece.map.landCover = r.Text(kMostLandCoverText);
        if (piece.map.landCover.empty()) r.ok = false;
    }
    piece.blockIndex = r.I32();
    piece.blockCount = r.I32();
    piece.rows.first = r.I32();
    piece.rows.count = r.I32();
    const int n = piece.map.area.n;
    const bool sane = r.ok && n >= 1 && n <= maxCoverageCells && piece.blockCount >= 1 &&
                      piece.blockIndex >= 1 && piece.blockIndex <= piece.blockCount &&
                      piece.rows.first >= 0 && piece.rows.count >= 1 &&
                      piece.rows.count <= n - piece.rows.first;
    // The area is the one its transmitter, range and resolution give.
    const auto area =
        sane ? CoverageAreaAround(CLocator(piece.map.txLatitude, piece.map.txLongitude),
                                  piece.map.rangeKm, piece.map.area.resolution)
             : std::nullopt;
    CoverageMapInputs expected = piece.map;
    if (area) expected.area = *area;
    if (!area || DescribeMapInputs(expected) != DescribeMapInputs(piece.map)) {
        error = "a damaged coverage piece (its header does not hold together)";
        return std::nullopt;
    }
    const size_t cells = static_cast<size_t>(n) * static_cast<size_t>(piece.rows.count);
    const size_t maskBytes = version >= 2 ? CellMask::ByteCount(cells) : 0;
    if (r.Left() != 2 * cells + maskBytes) {
        error = "a damaged coverage piece (" + std::to_string(r.Left()) +
                " bytes of cells where its band needs " + std::to_string(2 * cells + maskBytes) +
                ")";
        return std::nullopt;
    }
    piece.cells.resize(cells);
    for (std::int16_t& cell : piece.cells)
        cell = r.I16();
    if (maskBytes > 0) piece.noTerrain = CellMask(cells, bytes.substr(bytes.size() - maskBytes));
    return piece;
}

CoveragePiece PieceOfJob(const CoverageJob& job, const CoverageMapInputs& map, int blockIndex,
                         int blockCount) {
    CoveragePiece piece;
    piece.map = map;
    piece.blockIndex = blockIndex;
    piece.blockCount = blockCount;
    piece.rows = {job.FirstRow(), job.RowCount()};
    const int n = job.Area().n;
    piece.cells.reserve(static_cast<size_t>(n) * static_cast<size_t>(job.RowCount()));
    for (int i = job.FirstRow(); i < job.FirstRow() + job.RowCount(); ++i)
        for (int j = 0; j < n; ++j)
            piece.cells.push_back(job.GridAt(i, j));
    if (job.CellsWithoutTerrain() > 0) {
        piece.noTerrain = CellMask(piece.cells.size());
        size_t k = 0;
        for (int i = job.FirstRow(); i < job.FirstRow() + job.RowCount(); ++i)
            for (int j = 0; j < n; ++j, ++k)
                if (job.NoTerrainAt(i, j)) piece.noTerrain.Set(k);
    }
    return piece;
}

Grid16Field::Grid16Field(const CoverageArea& gridArea, std::vector<std::int16_t> gridCells,
                         CellMask cellsWithoutTerrain)
    : area(gridArea), cells(std::move(gridCells)), noTerrain(std::move(cellsWithoutTerrain)) {
    cells.resize(static_cast<size_t>(area.n) * static_cast<size_t>(area.n), noGridValue);
}

double Grid16Field::Value(int i, int j) const {
    const std::int16_t value =
        cells[static_cast<size_t>(i) * static_cast<size_t>(area.n) + static_cast<size_t>(j)];
    return value == noGridValue ? std::numeric_limits<double>::quiet_NaN() : value / 100.0;
}

std::optional<AssembledMap> AssemblePieces(const std::vector<NamedPiece>& pieces,
                                           std::string& error) {
    if (pieces.empty()) {
        error = "no pieces to merge";
        return std::nullopt;
    }
    const NamedPiece& first = pieces.front();
    const auto inputs = DescribeMapInputs(first.piece.map);
    // Only the land cover, named last, may be missing from one of them.
    const auto value = [](const auto& list, size_t k) {
        return k < list.size() ? list[k].second : std::string("none");
    };
    for (const NamedPiece& other : pieces) {
        const auto otherInputs = DescribeMapInputs(other.piece.map);
        const auto& names = otherInputs.size() > inputs.size() ? otherInputs : inputs;
        for (size_t k = 0; k < names.size(); ++k)
            if (value(otherInputs, k) != value(inputs, k)) {
                error = other.name + " is a piece of another map than " + first.name + ": " +
                        names[k].first + " " + value(otherInputs, k) + " there, " +
                        value(inputs, k) + " in " + first.name;
                return std::nullopt;
            }
    }
    std::vector<const NamedPiece*> order;
    for (const NamedPiece& p : pieces)
        order.push_back(&p);
    std::stable_sort(order.begin(), order.end(), [](const NamedPiece* a, const NamedPiece* b) {
        return a->piece.rows.first < b->piece.rows.first;
    });
    const int n = first.piece.map.area.n;
    const auto missing = [n](int from, int to) {
        return Rows(from, to) + " of the map's " + std::to_string(n) + " are in no piece";
    };
    int end = 0; // the rows before it are in the pieces so far
    const NamedPiece* previous = nullptr;
    for (const NamedPiece* p : order) {
        const RowBand& rows = p->piece.rows;
        if (rows.first < end) {
            error = "pieces " + Named(*previous) + " and " + Named(*p) + " overlap";
            return std::nullopt;
        }
        if (rows.first > end) {
            error = missing(end, rows.first) +
                    (previous ? ": between " + Named(*previous) + " and " + Named(*p)
                              : ": before " + Named(*p));
            return std::nullopt;
        }
        end = rows.first + rows.count;
        previous = p;
    }
    if (end < n) {
        error = missing(end, n) + ": after " + Named(*previous);
        return std::nullopt;
    }
    AssembledMap map;
    map.map = first.piece.map;
    map.cells.reserve(static_cast<size_t>(n) * static_cast<size_t>(n));
    bool masked = false;
    for (const NamedPiece* p : order) {
        map.cells.insert(map.cells.end(), p->piece.cells.begin(), p->piece.cells.end());
        masked = masked || p->piece.noTerrain.Any();
    }
    if (masked)
        for (const NamedPiece* p : order)
            map.noTerrain.Append(p->piece.noTerrain, p->piece.cells.size());
    return map;
}

} // namespace kestrova
