// kestrova-cli link --profile … --edition 18 gives the figures of the
// edition's own calculation, and so ITU-R's, for the same inputs.
#include "CliRun.h"
#include "ItuValidation.h"
#include "TempDir.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdio>
#include <fstream>

namespace kestrova::test {
namespace {

std::string Exact(double value) {
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}

// The profile as the command line reads it: distance_km,height_m,zone,clutter_m.
std::string WriteProfileCsv(const ItuProfile& p, const std::string& path) {
    std::ofstream out(path);
    out << "distance_km,height_m,zone,clutter_m\n";
    for (std::size_t i = 0; i < p.d.size(); ++i)
        out << Exact(p.d[i]) << ',' << Exact(p.h[i]) << ',' << int(p.zone[i]) << ','
            << Exact(p.clutter[i]) << '\n';
    return path;
}

struct Case {
    const char* profile;
    int row; // 0-based result row
};

class CliValidation : public ::testing::TestWithParam<Case> {};

TEST_P(CliValidation, LinkJsonEqualsTheEditionAndTheReference) {
    const Case c = GetParam();
    const ItuProfile profile = ReadItuProfile(c.profile);
    const ItuRow row = ReadItuResults(c.profile).at(c.row);
    const p452v18::Inputs x = ItuInputs(row);
    p452v18::Result expected;
    ASSERT_EQ(p452v18::Calculate(profile.View(), x, expected), "");

    TempDir dir;
    const std::string csv = WriteProfileCsv(profile, dir.Path("profile.csv"));
    const cli::CliRun run =
        cli::Cli({"link",
                  "--profile",
                  csv,
                  "--edition",
                  "18",
                  "--latitude",
                  Exact(x.phi),
                  "--freq",
                  Exact(x.f),
                  "--percent",
                  Exact(x.p),
                  "--tx-height",
                  Exact(x.htg),
                  "--rx-height",
                  Exact(x.hrg),
                  "--tx-gain",
                  Exact(x.gt),
                  "--rx-gain",
                  Exact(x.gr),
                  "--polarisation",
                  x.polarisation == p452v18::Polarisation::Horizontal ? "h" : "v",
                  "--dct",
                  Exact(*x.dct),
                  "--dcr",
                  Exact(*x.dcr),
                  "--pressure",
                  Exact(x.pressure),
                  "--temperature",
                  Exact(x.temperature),
                  "--n0",
                  Exact(x.n0),
                  "--delta-n",
                  Exact(x.deltaN),
                  "--json"});
    ASSERT_EQ(run.status, 0) << run.out << run.err;
    const auto json = nlohmann::json::parse(run.out);
    EXPECT_EQ(json["edition"], "P.452-18");
    const std::pair<const char*, double> figures[] = {
        {"lb", expected.lb},     {"lbfsg", expected.lbfsg}, {"lb0p", expected.lb0p},
        {"lb0b", expected.lb0b}, {"ldsph", expected.ldsph}, {"ld50", expected.ld50},
        {"ldp", expected.ldp},   {"lbs", expected.lbs},     {"lba", expected.lba},
        {"lbd", expected.lbd},   {"lbd50", expected.lbd50}, {"beta0", expected.beta0},
        {"hstd", expected.hstd}, {"hsrd", expected.hsrd},   {"hm", expected.hm},
    };
    for (const auto& [key, value] : figures)
        EXPECT_EQ(json[key].get<double>(), value) << key;
    EXPECT_NEAR(json["lb"].get<double>(), Number(row, "Lb"), 1e-6);
    EXPECT_NEAR(json["ldsph"].get<double>(), Number(row, "Ldsph"), 1e-6);
}

INSTANTIATE_TEST_SUITE_P(ThreeProfiles, CliValidation,
                         ::testing::Values(Case{"mixed_109km", 0}, Case{"cebreros_3995", 20},
                                           Case{"tropo_7001", 34}),
                         [](const auto& param) { return std::string(param.param.profile); });

} // namespace
} // namespace kestrova::test

namespace kestrova::test {
namespace {

// Every command that runs the engine takes the edition and says which one
// its figures come from; the edition's limits are refused in its words.
TEST(CliEdition, EveryEngineCommandTakesIt) {
    const cli::Words link = {"link", "--tx", "SU374616", "--rx", "SU48858947", "--freq", "1.3"};
    auto with = [](cli::Words words, std::initializer_list<std::string> more) {
        words.insert(words.end(), more);
        return words;
    };
    const cli::CliRun old = cli::Cli(with(link, {"--json"}));
    const cli::CliRun now = cli::Cli(with(link, {"--edition", "18", "--json"}));
    ASSERT_EQ(now.status, 0) << now.err;
    const auto a = nlohmann::json::parse(old.out);
    const auto b = nlohmann::json::parse(now.out);
    EXPECT_EQ(a["edition"], "P.452-14");
    EXPECT_EQ(b["edition"], "P.452-18");
    EXPECT_NE(a["lb"], b["lb"]);
    EXPECT_EQ(b["count"], a["count"]); // the same sampled profile

    const cli::CliRun radial = cli::Cli({"radial", "--tx", "SU374616", "--range", "20", "--bearing",
                                         "45", "--freq", "1.3", "--edition", "18", "--json"});
    ASSERT_EQ(radial.status, 0) << radial.err;
    EXPECT_EQ(nlohmann::json::parse(radial.out)["edition"], "P.452-18");
    const cli::CliRun mechanisms = cli::Cli({"mechanisms", "--tx", "SU374616", "--rx", "SU48858947",
                                             "--freq", "1.3", "--edition", "18", "--json"});
    ASSERT_EQ(mechanisms.status, 0) << mechanisms.err;
    const auto m = nlohmann::json::parse(mechanisms.out);
    EXPECT_EQ(m["edition"], "P.452-18");
    EXPECT_EQ(m["gasLoss"], 0.0); // inside each figure
    EXPECT_EQ(m["points"].back()["overall"], b["lb"]);

    TempDir dir;
    const cli::CliRun coverage =
        cli::Cli({"coverage", "--tx", "SU374616", "--range", "5", "--resolution", "30", "--freq",
                  "1.3", "--edition", "18", "--csv", dir.Path("c.csv")});
    ASSERT_EQ(coverage.status, 0) << coverage.err;
    EXPECT_NE(coverage.out.find("ITU-R P.452-18"), std::string::npos) << coverage.out;

    const cli::CliRun high = cli::Cli(with(link, {"--edition", "18", "--freq", "60"}));
    EXPECT_EQ(high.status, 2);
    EXPECT_NE(high.err.find("ITU-R P.452-18 holds for frequencies from 0.1 to 50 GHz"),
              std::string::npos)
        << high.err;
    EXPECT_EQ(cli::Cli(with(link, {"--edition", "15"})).status, 1);
    EXPECT_EQ(cli::Cli(with(link, {"--edition", "18", "--polarisation", "x"})).status, 1);
}

} // namespace
} // namespace kestrova::test
