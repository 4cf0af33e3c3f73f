#include "coverage/CoverageSites.h"

#include "coverage/ByteCodec.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

namespace kestrova {

std::optional<SharedGrid> ShareOneGrid(const std::vector<CoverageArea>& own, std::string& error) {
    if (own.empty()) {
        error = "no sites";
        return std::nullopt;
    }
    const CoverageArea& first = own.front();
    SharedGrid grid;
    long long rowMin = 0;
    long long columnMin = 0;
    std::vector<std::pair<long long, long long>> offsets; // from the first site's corner
    for (const CoverageArea& area : own) {
        const double rows = std::round((first.north - area.north) / first.step);
        const double columns = std::round((area.west - first.west) / first.step);
        if (!(std::fabs(rows) < 1e9 && std::fabs(columns) < 1e9)) {
            error = "the sites lie too far apart for one grid";
            return std::nullopt;
        }
        offsets.emplace_back(static_cast<long long>(rows), static_cast<long long>(columns));
        rowMin = std::min(rowMin, offsets.back().first);
        columnMin = std::min(columnMin, offsets.back().second);
    }
    long long side = 0;
    double extent = 0.0;
    for (size_t k = 0; k < own.size(); ++k) {
        SiteSquare square;
        square.area = own[k];
        square.area.north = first.north - static_cast<double>(offsets[k].first) * first.step;
        square.area.west = first.west + static_cast<double>(offsets[k].second) * first.step;
        square.area.south = square.area.north - square.area.extent;
        square.area.east = square.area.west + square.area.extent;
        square.row = static_cast<int>(std::min<long long>(offsets[k].first - rowMin, INT_MAX));
        square.column =
            static_cast<int>(std::min<long long>(offsets[k].second - columnMin, INT_MAX));
        const long long corner = std::max<long long>(square.row, square.column);
        side = std::max(side, corner + own[k].n);
        extent = std::max(extent, static_cast<double>(corner) * first.step + own[k].extent);
        grid.sites.push_back(square);
    }
    if (side > maxCoverageCells) {
        error = "the sites' squares together span " + std::to_string(side) +
                " cells a side at this resolution, more than " + std::to_string(maxCoverageCells) +
                ": split the site file into nearer groups";
        return std::nullopt;
    }
    CoverageArea& c = grid.composite;
    c = first;
    c.n = static_cast<int>(side);
    c.north = first.north - static_cast<double>(rowMin) * first.step;
    c.west = first.west + static_cast<double>(columnMin) * first.step;
    c.extent = extent;
    c.south = c.north - extent;
    c.east = c.west + extent;
    return grid;
}

BestServer::BestServer(const CoverageArea& compositeArea)
    : area(compositeArea),
      strongest(static_cast<size_t>(area.n) * static_cast<size_t>(area.n), noGridValue),
      servers(strongest.size(), 0) {}

void BestServer::Add(int site, const SiteSquare& square, const std::vector<std::int16_t>& cells) {
    const int n = square.area.n;
    const auto number = static_cast<std::uint16_t>(std::min(site + 1, 65535));
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) {
            const std::int16_t value =
                cells[static_cast<size_t>(i) * static_cast<size_t>(n) + static_cast<size_t>(j)];
            if (value == noGridValue) continue;
            const size_t c = Index(square.row + i, square.column + j);
            if (servers[c] == 0 || value > strongest[c]) {
                strongest[c] = value;
                servers[c] = number;
            }
        }
}

void BestServer::AddNoTerrain(const SiteSquare& square, const CellMask& mask) {
    if (!mask.Any()) return;
    if (noTerrain.Size() == 0) noTerrain = CellMask(strongest.size());
    const int n = square.area.n;
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j)
            if (mask.Get(static_cast<size_t>(i) * static_cast<size_t>(n) + static_cast<size_t>(j)))
                noTerrain.Set(Index(square.row + i, square.column + j));
}

namespace {

constexpr char siteMagic[8] = {'K', 'S', 'T', 'S', 'I', 'T', 'E', '1'};

using bytes::Reader;

std::string InputsText(const CoverageMapInputs& map) {
    std::string text;
    for (const auto& [name, value] : DescribeMapInputs(map))
        text += name + "\t" + value + "\n";
    return text;
}

std::vector<std::pair<std::string, std::string>> ParseInputsText(const std::string& text,
                                                                 bool& ok) {
    std::vector<std::pair<std::string, std::string>> inputs;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find('\n', start);
        const size_t tab = text.find('\t', start);
        if (end == std::string::npos || tab == std::string::npos || tab > end) {
            ok = false;
            return inputs;
        }
        inputs.emplace_back(text.substr(start, tab - start), text.substr(tab + 1, end - tab - 1));
        start = end + 1;
    }
    return inputs;
}

} // namespace

std::string EncodeSiteGrid(const SiteGrid& grid) {
    bytes::Writer w;
    w.Bytes(siteMagic, sizeof siteMagic);
    const bool masked = grid.noTerrain.Any();
    w.U32(masked ? siteGridVersion : 1);
    w.I32(grid.site);
    w.I32(grid.siteCount);
    w.Text(grid.name);
    w.Text(InputsText(grid.map));
    const CoverageArea& a = grid.map.area;
    for (const double value : {a.north, a.south, a.east, a.west, a.extent, a.step})
        w.F64(value);
    w.I32(a.resolution);
    w.I32(a.n);
    w.text.reserve(w.text.size() + 2 * grid.cells.size());
    for (const std::int16_t value : grid.cells)
        w.I16(value);
    if (masked) w.Bytes(grid.noTerrain.Bytes().data(), grid.noTerrain.Bytes().size());
    std::string out = std::move(w.text);
    return out;
}

std::optional<DecodedSiteGrid> DecodeSiteGrid(std::string_view bytes, std::string& error) {
    if (bytes.size() < sizeof siteMagic ||
        std::memcmp(bytes.data(), siteMagic, sizeof siteMagic) != 0) {
        error = "not a site grid";
        return std::nullopt;
    }
    Reader r(bytes.substr(sizeof siteMagic));
    const std::uint32_t version = r.U32();
    if (r.ok && (version < 1 || version > siteGridVersion)) {
        error = "a site grid of format version " + std::to_string(version) + ", not 1 to " +
                std::to_string(siteGridVersion);
        return std::nullopt;
    }
    DecodedSiteGrid grid;
    grid.site = r.I32();
    grid.siteCount = r.I32();
    grid.name = r.Text(1 << 16);
    bool inputsOk = true;
    grid.inputs = ParseInputsText(r.Text(1 << 16), inputsOk);
    CoverageArea& a = grid.area;
    a.north = r.F64();
    a.south = r.F64();
    a.east = r.F64();
    a.west = r.F64();
    a.extent = r.F64();
    a.step = r.F64();
    a.resolution = r.I32();
    a.n = r.I32();
    const bool sane = r.ok && inputsOk && grid.siteCount >= 1 && grid.site >= 1 &&
                      grid.site <= grid.siteCount && a.n >= 1 && a.n <= maxCoverageCells;
    const size_t cells = sane ? static_cast<size_t>(a.n) * static_cast<size_t>(a.n) : 0;
    const size_t maskBytes = version >= 2 ? CellMask::ByteCount(cells) : 0;
    if (!sane || r.Left() != 2 * cells + maskBytes) {
        error = "a damaged site grid";
        return std::nullopt;
    }
    grid.cells.resize(cells);
    for (std::int16_t& value : grid.cells)
        value = r.I16();
    if (maskBytes > 0) grid.noTerrain = CellMask(cells, bytes.substr(bytes.size() - maskBytes));
    return grid;
}

std::string SiteGridMismatch(const DecodedSiteGrid& grid, const CoverageMapInputs& expected) {
    const auto want = DescribeMapInputs(expected);
    for (size_t k = 0; k < want.size(); ++k) {
        const std::string here = k < grid.inputs.size() && grid.inputs[k].first == want[k].first
                                     ? grid.inputs[k].second
                                     : "(none)";
        if (here != want[k].second)
            return want[k].first + " " + here + " in the grid file, " + want[k].second +
                   " in this run";
    }
    if (grid.inputs.size() > want.size())
        return grid.inputs[want.size()].first + " " + grid.inputs[want.size()].second +
               " in the grid file, none in this run";
    return {};
}

std::uint32_t SiteColour(int site) {
    static const std::uint32_t colours[] = {0xe6194b, 0x3cb44b, 0x4363d8, 0xffe119,
                                            0xf58231, 0x911eb4, 0x42d4f4, 0xf032e6,
                                            0xbfef45, 0x469990, 0x9a6324, 0x800000};
    constexpr int count = static_cast<int>(std::size(colours));
    return colours[((site % count) + count) % count];
}

} // namespace kestrova
