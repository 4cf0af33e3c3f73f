// kestrova-cli link --batch: many links from a CSV, each equal to its own
// link call, bad rows named and skipped.
#include "CliRun.h"
#include "TempDir.h"
#include "geo/FileLocations.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace kestrova::cli {
namespace {

// The demo tile beside the test (51-52 N, 2-1 W).
std::string Tiles() {
    return ExecutableDirectory();
}

std::vector<nlohmann::json> JsonLines(const std::string& text) {
    std::vector<nlohmann::json> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(nlohmann::json::parse(line));
    return lines;
}

class LinkBatch : public ::testing::Test {
protected:
    std::string Write(const std::string& content) {
        const std::string path = dir.Path("links.csv");
        std::ofstream(path, std::ios::binary) << content;
        return path;
    }
    test::TempDir dir;
};

// Each row's options over the command line's: the row's cell wins, an
// empty cell or a missing column leaves the command line's.
TEST_F(LinkBatch, EveryRowEqualsItsOwnLinkCall) {
    const std::string file = Write("tx,rx,freq,percent,tx-height,edition,polarisation\n"
                                   "SU374616,SU48858947,1.3,50,,,\n"
                                   "SU374616,SU40006000,2.4,10,25,,\n"
                                   "SU30006000 , SU45006500,,1,,18,h\r\n"
                                   "\n"
                                   "SU374616,SU20007000,0.5,,,,\n");
    const std::vector<std::vector<std::string>> single = {
        {"--tx", "SU374616", "--rx", "SU48858947", "--freq", "1.3", "--percent", "50"},
        {"--tx", "SU374616", "--rx", "SU40006000", "--freq", "2.4", "--percent", "10",
         "--tx-height", "25"},
        {"--tx", "SU30006000", "--rx", "SU45006500", "--percent", "1", "--edition", "18",
         "--polarisation", "h"},
        {"--tx", "SU374616", "--rx", "SU20007000", "--freq", "0.5"}};
    const std::vector<std::string> common = {"--tiles",   Tiles(), "--rx-height", "12",
                                             "--percent", "20",    "--json"};
    for (const char* threads : {"1", "2"}) {
        Words batch = {"link", "--batch", file, "--threads", threads};
        batch.insert(batch.end(), common.begin(), common.end());
        const CliRun run = Cli(batch);
        ASSERT_EQ(run.status, 0) << run.err;
        const auto lines = JsonLines(run.out);
        ASSERT_EQ(lines.size(), single.size());
        for (size_t i = 0; i < single.size(); ++i) {
            Words words = {"link"};
            words.insert(words.end(), common.begin(), common.end());
            words.insert(words.end(), single[i].begin(), single[i].end()); // the last one wins
            const CliRun one = Cli(words);
            ASSERT_EQ(one.status, 0) << one.err;
            nlohmann::json row = lines[i];
            EXPECT_EQ(row["row"], i + 1);
            row.erase("row");
            EXPECT_EQ(row, nlohmann::json::parse(one.out)) << "row " << i + 1;
        }
    }
}

TEST_F(LinkBatch, CsvWithoutJsonHasOneLineARowInOrder) {
    const std::string file = Write("tx,rx\nSU374616,SU48858947\nSU374616,SU40006000\n");
    const CliRun run = Cli({"link", "--batch", file, "--tiles", Tiles()});
    ASSERT_EQ(run.status, 0) << run.err;
    std::istringstream in(run.out);
    std::string header, first, second;
    std::getline(in, header);
    std::getline(in, first);
    std::getline(in, second);
    EXPECT_EQ(header, "row,path_km,lb0p_db,lbd_db,lbs_db,lba_db,lb_db");
    EXPECT_EQ(first.rfind("1,", 0), 0u);
    EXPECT_EQ(second.rfind("2,", 0), 0u);
}

// A row that cannot be read is named by its number and line and skipped,
// the others computed; a failed calculation is a result of its own.
TEST_F(LinkBatch, BadRowsAreNamedAndSkipped) {
    const std::string file = Write("tx,rx,freq\n"
                                   "SU374616,NOTALOC,1.3\n"
                                   "SU374616,SU40006000,900\n"
                                   "SU374616,SU40006000,abc\n"
                                   "SU374616,SU40006000,1.3,7\n"
                                   "SU374616,SU374616,1.3\n"
                                   "SU374616,SU48858947,1.3\n");
    const CliRun run = Cli({"link", "--batch", file, "--tiles", Tiles(), "--json"});
    EXPECT_EQ(run.status, 2);
    for (const char* named :
         {"row 1 (line 2", "Invalid RX Locator", "row 2 (line 3", "option --freq", "row 3 (line 4",
          "row 4 (line 5", "more than the 3 columns", "row 5 (line 6", "Path too short"})
        EXPECT_NE(run.err.find(named), std::string::npos) << named << "\n" << run.err;
    const auto lines = JsonLines(run.out);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0]["row"], 5);
    EXPECT_EQ(lines[0]["valid"], false);
    EXPECT_EQ(lines[1]["row"], 6);
    EXPECT_EQ(lines[1]["valid"], true);
}

TEST_F(LinkBatch, FilesThatAreNoBatch) {
    struct Case {
        const char* content;
        int status;
        const char* message;
    };
    const Case cases[] = {
        {"tx,rx,tiles\nSU374616,SU40006000,/tmp\n", 1, "column \"tiles\" is not an option"},
        {"tx,rx,colour\n", 1, "column \"colour\" is not an option"},
        {"tx,rx,tx\n", 1, "appears twice"},
        {"\n\n", 2, "holds no header row"},
    };
    for (const Case& c : cases) {
        const CliRun run = Cli({"link", "--batch", Write(c.content), "--tiles", Tiles()});
        EXPECT_EQ(run.status, c.status) << c.content;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    }
    const CliRun missing = Cli({"link", "--batch", dir.Path("none.csv"), "--tiles", Tiles()});
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.err.find("none.csv"), std::string::npos) << missing.err;
    const CliRun profile = Cli({"link", "--batch", Write("tx,rx\n"), "--profile", "p.csv"});
    EXPECT_EQ(profile.status, 1);
    const CliRun threads =
        Cli({"link", "--tx", "SU374616", "--rx", "SU40006000", "--threads", "2"});
    EXPECT_EQ(threads.status, 1);
}

} // namespace
} // namespace kestrova::cli
