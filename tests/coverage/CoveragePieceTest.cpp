// A map computed in blocks (coverage --block I/N --piece FILE) and put
// together by merge: the same files as the map computed whole, and pieces
// that do not make one map refused with their names.
#include "coverage/CoveragePiece.h"

#include "CliRun.h"
#include "TempDir.h"
#include "ZipReader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

namespace kestrova {
namespace {

using cli::Cli;

std::string ReadBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

TEST(CoverageBlocks, BandsTileTheRowsInOrder) {
    const struct {
        int n, count;
    } cases[] = {{5, 1}, {5, 5}, {17, 2}, {17, 3}, {17, 7}, {16384, 7}, {16384, 16384}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.n) + " rows in " + std::to_string(c.count));
        int end = 0;
        for (int index = 1; index <= c.count; ++index) {
            const RowBand band = BlockRows(c.n, index, c.count);
            EXPECT_EQ(band.first, end);
            EXPECT_GE(band.count, c.n / c.count);
            EXPECT_LE(band.count, c.n / c.count + 1);
            end = band.first + band.count;
        }
        EXPECT_EQ(end, c.n);
    }
}

CoveragePiece SmallPiece() {
    CoveragePiece piece;
    piece.map.txLatitude = 51.25;
    piece.map.txLongitude = -1.0 / 3.0;
    piece.map.rangeKm = 5.0;
    piece.map.area = *CoverageAreaAround(CLocator(51.25, -1.0 / 3.0), 5.0, 30);
    piece.map.link.edition = Edition::P452_18;
    piece.map.link.dct = 12.5;
    piece.map.link.polarisation = p452v18::Polarisation::Horizontal;
    piece.map.gamma = 0.0061;
    piece.blockIndex = 2;
    piece.blockCount = 3;
    piece.rows = BlockRows(piece.map.area.n, 2, 3);
    piece.cells.assign(static_cast<size_t>(piece.map.area.n * piece.rows.count), 1234);
    const std::int16_t extremes[] = {-32768, -32767, 32767, 0, 1, -1, 4321, 12};
    std::copy(std::begin(extremes), std::end(extremes), piece.cells.begin());
    return piece;
}

TEST(CoveragePieceFile, HoldsEveryFigureExactly) {
    const CoveragePiece piece = SmallPiece();
    const std::string bytes = EncodeCoveragePiece(piece);
    std::string error;
    const auto back = DecodeCoveragePiece(bytes, error);
    ASSERT_TRUE(back) << error;
    EXPECT_EQ(DescribeMapInputs(back->map), DescribeMapInputs(piece.map));
    EXPECT_EQ(back->blockIndex, 2);
    EXPECT_EQ(back->blockCount, 3);
    EXPECT_EQ(back->rows.first, piece.rows.first);
    EXPECT_EQ(back->rows.count, piece.rows.count);
    EXPECT_EQ(back->cells, piece.cells);
    EXPECT_EQ(EncodeCoveragePiece(*back), bytes);
}

// A band with terrain under every cell keeps the version 1 bytes earlier
// programs wrote; one with cells without terrain is version 2 and carries
// their marks, which a version 1 reader could not hold.
TEST(CoveragePieceFile, MarksOfCellsWithoutTerrainMakeVersionTwo) {
    CoveragePiece piece = SmallPiece();
    const std::string plain = EncodeCoveragePiece(piece);
    EXPECT_EQ(plain[8], 1);
    piece.noTerrain = CellMask(piece.cells.size());
    EXPECT_EQ(EncodeCoveragePiece(piece), plain); // an empty mask is no mask
    const size_t marked[] = {0, 7, 8, piece.cells.size() - 1};
    for (const size_t k : marked)
        piece.noTerrain.Set(k);
    const std::string bytes = EncodeCoveragePiece(piece);
    EXPECT_EQ(bytes[8], 2);
    EXPECT_EQ(bytes.size(), plain.size() + CellMask::ByteCount(piece.cells.size()));
    std::string error;
    const auto back = DecodeCoveragePiece(bytes, error);
    ASSERT_TRUE(back) << error;
    EXPECT_EQ(back->cells, piece.cells);
    EXPECT_EQ(back->noTerrain.Count(), std::size(marked));
    for (size_t k = 0; k < piece.cells.size(); ++k)
        EXPECT_EQ(back->noTerrain.Get(k), piece.noTerrain.Get(k)) << k;
    EXPECT_EQ(EncodeCoveragePiece(*back), bytes);

    const auto plainBack = DecodeCoveragePiece(plain, error);
    ASSERT_TRUE(plainBack) << error;
    EXPECT_EQ(plainBack->noTerrain.Count(), 0u); // version 1: terrain everywhere
    // A version 2 piece without its marks, or a version 1 piece with them,
    // is damaged.
    std::string cut = bytes.substr(0, plain.size());
    EXPECT_FALSE(DecodeCoveragePiece(cut, error));
    EXPECT_NE(error.find("damaged"), std::string::npos) << error;
    std::string claimed = bytes;
    claimed[8] = 1;
    EXPECT_FALSE(DecodeCoveragePiece(claimed, error));
}

TEST(CoveragePieceFile, RefusesWhatIsNotAWholePiece) {
    const CoveragePiece piece = SmallPiece();
    const std::string bytes = EncodeCoveragePiece(piece);
    const size_t header = bytes.size() - 2 * piece.cells.size();
    std::string newer = bytes;
    newer[8] = 4; // the format version
    std::string badBand = bytes;
    badBand[header - 16] = 9;        // the block index, beyond the count of 3
    CoveragePiece otherArea = piece; // an area its range does not give
    otherArea.map.area.north += otherArea.map.area.step;
    const struct {
        const char* what;
        std::string bytes;
        const char* reason;
    } cases[] = {
        {"empty", "", "not a coverage piece"},
        {"another file", "KSTPIEC", "not a coverage piece"},
        {"newer format", newer, "format version 4"},
        {"a cell short", bytes.substr(0, bytes.size() - 2), "bytes of cells"},
        {"a cell more", bytes + "ab", "bytes of cells"},
        {"header cut", bytes.substr(0, 40), "damaged"},
        {"block beyond its count", badBand, "damaged"},
        {"area not of its range", EncodeCoveragePiece(otherArea), "damaged"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::string error;
        EXPECT_FALSE(DecodeCoveragePiece(c.bytes, error));
        EXPECT_NE(error.find(c.reason), std::string::npos) << error;
    }
}

// A small map on the demo tile (about 17 x 17 cells at 30").
cli::Words Coverage(const std::string& threads, const std::string& freq = "1.3") {
    return {"coverage", "--tx",        "SU374616", "--range",   "5",    "--resolution",
            "30",       "--freq",      freq,       "--percent", "10",   "--tx-height",
            "25",       "--rx-height", "10",       "--threads", threads};
}

const char* const outputNames[] = {"csv", "png", "image", "scale", "kmz", "geotiff"};
const char* const outputFiles[] = {"map.csv",   "grid.png", "map.png",
                                   "scale.png", "map.kmz",  "map.tif"};

cli::Words WithOutputs(cli::Words words, const test::TempDir& dir, const std::string& sub) {
    std::filesystem::create_directories(dir.Path(sub));
    for (size_t k = 0; k < std::size(outputNames); ++k) {
        words.push_back(std::string("--") + outputNames[k]);
        words.push_back(dir.Path(sub + "/" + outputFiles[k]));
    }
    words.push_back("--contours");
    return words;
}

// Writes block index/count of the map as a piece; its path.
std::string Block(const cli::Words& map, const test::TempDir& dir, int index, int count,
                  const std::string& tag = "") {
    const std::string piece =
        dir.Path(tag + "block" + std::to_string(index) + "of" + std::to_string(count) + ".piece");
    cli::Words words = map;
    words.insert(words.end(), {"--block", std::to_string(index) + "/" + std::to_string(count),
                               "--piece", piece});
    const auto run = Cli(words);
    EXPECT_EQ(run.status, 0) << run.err;
    return piece;
}

TEST(CoverageMerge, BlocksMergeIntoTheWholeMapsFiles) {
    for (const std::string threads : {"1", "2"}) {
        SCOPED_TRACE(threads + " threads");
        const test::TempDir dir;
        const auto whole = Cli(WithOutputs(Coverage(threads), dir, "whole"));
        ASSERT_EQ(whole.status, 0) << whole.err;
        for (const int count : {1, 2, 3, 7}) {
            SCOPED_TRACE(std::to_string(count) + " blocks");
            cli::Words merge = {"merge"};
            for (int index = count; index >= 1; --index) // any order
                merge.push_back(Block(Coverage(threads), dir, index, count));
            const std::string sub = "merged" + std::to_string(count);
            const auto merged = Cli(WithOutputs(merge, dir, sub));
            ASSERT_EQ(merged.status, 0) << merged.err << merged.out;
            // The scale's line is the whole run's too.
            EXPECT_NE(whole.out.find(merged.out.substr(0, merged.out.find('\n') + 1)),
                      std::string::npos)
                << merged.out;
            for (const char* name : outputFiles) {
                SCOPED_TRACE(name);
                const std::string a = dir.Path("whole/" + std::string(name));
                const std::string b = dir.Path(sub + "/" + name);
                if (std::string(name) == "map.kmz") {
                    // The archive stamps each entry with the time it was
                    // written: the entries and their content are the map's.
                    const auto x = test::ReadZip(a);
                    const auto y = test::ReadZip(b);
                    ASSERT_EQ(x.size(), y.size());
                    ASSERT_FALSE(x.empty());
                    for (size_t e = 0; e < x.size(); ++e) {
                        EXPECT_EQ(x[e].name, y[e].name);
                        EXPECT_EQ(x[e].method, y[e].method);
                        EXPECT_TRUE(x[e].content == y[e].content) << x[e].name;
                    }
                    continue;
                }
                const std::string bytes = ReadBytes(a);
                ASSERT_FALSE(bytes.empty());
                EXPECT_TRUE(bytes == ReadBytes(b)) << "differs";
            }
        }
    }
}

TEST(CoverageMerge, PiecesThatDoNotMakeOneMapAreRefusedByName) {
    const test::TempDir dir;
    const cli::Words map = Coverage("2");
    const std::string a1of3 = Block(map, dir, 1, 3);
    const std::string a2of3 = Block(map, dir, 2, 3);
    const std::string a3of3 = Block(map, dir, 3, 3);
    const std::string a1of2 = Block(map, dir, 1, 2);
    const std::string b2of3 = Block(Coverage("2", "2"), dir, 2, 3, "other");
    const std::string notAPiece = dir.Path("map.csv");
    std::ofstream(notAPiece) << "1,2,3\n";
    const struct {
        const char* what;
        std::vector<std::string> pieces;
        std::vector<std::string> named; // in the message
    } cases[] = {
        {"a missing block", {a1of3, a3of3}, {"rows", "are in no piece", a1of3, a3of3}},
        {"the first block missing", {a3of3, a2of3}, {"rows 1-", "before", a2of3}},
        {"the last block missing", {a1of3, a2of3}, {"after", a2of3}},
        {"an overlap", {a1of2, a2of3, a3of3}, {"overlap", a1of2, a2of3}},
        {"the same block twice", {a1of3, a2of3, a2of3, a3of3}, {"overlap", a2of3}},
        {"two maps", {a1of3, b2of3, a3of3}, {"another map", b2of3, a1of3, "frequency"}},
        {"not a piece", {a1of3, notAPiece}, {notAPiece, "not a coverage piece"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        cli::Words merge = {"merge"};
        merge.insert(merge.end(), c.pieces.begin(), c.pieces.end());
        merge.insert(merge.end(), {"--csv", dir.Path("merged.csv")});
        const auto run = Cli(merge);
        EXPECT_NE(run.status, 0);
        for (const std::string& part : c.named)
            EXPECT_NE(run.err.find(part), std::string::npos) << part << " not in: " << run.err;
        EXPECT_FALSE(std::filesystem::exists(dir.Path("merged.csv")));
    }
    const cli::Words mistakes[] = {
        {"--block", "1/3"},
        {"--piece", dir.Path("p")},
        {"--block", "0/3", "--piece", dir.Path("p")},
        {"--block", "4/3", "--piece", dir.Path("p")},
        {"--block", "1", "--piece", dir.Path("p")},
        {"--block", "1/3", "--piece", dir.Path("p"), "--csv", dir.Path("c.csv")},
        {"--block", "1/100", "--piece", dir.Path("p")}, // more blocks than rows
    };
    for (const cli::Words& mistake : mistakes) {
        cli::Words words = map;
        words.insert(words.end(), mistake.begin(), mistake.end());
        const auto run = Cli(words);
        EXPECT_NE(run.status, 0) << mistake[0] << " " << mistake[1];
        EXPECT_FALSE(std::filesystem::exists(dir.Path("p")));
    }
}

} // namespace
} // namespace kestrova
