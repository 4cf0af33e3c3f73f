// The link calculation over given profiles against an independent
// implementation of ITU-R P.452 (tests/engine/p452_reference.py): every loss
// figure and path member of each case in data/p452_cases.csv, on a fresh
// engine and on one engine reused from case to case (so no member may keep
// a value of the previous calculation).
#include "cli/ProfileCsv.h"
#include "propagation/engine/Terrain.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iomanip>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#ifndef ENGINE_CASES_DIR
#define ENGINE_CASES_DIR "tests/engine/data"
#endif

namespace kestrova {
namespace {

const std::string kCasesDir = ENGINE_CASES_DIR;

// One row of the table: the inputs and the expected members, by column name.
struct ReferenceCase {
    std::string name;
    std::string profile;
    double latitude = 0.0;
    LinkInputs inputs;
    std::vector<std::pair<std::string, double>> expected;
};

std::vector<std::string> SplitCsv(const std::string& line) {
    std::vector<std::string> fields;
    std::stringstream stream(line);
    std::string field;
    while (std::getline(stream, field, ','))
        fields.push_back(field);
    return fields;
}

// Reads the table; lines starting with '#' are comments, the first other
// line names the columns. Problems are reported through `error`.
std::vector<ReferenceCase> LoadCases(std::string& error) {
    std::vector<ReferenceCase> cases;
    std::ifstream file(kCasesDir + "/p452_cases.csv");
    if (!file) {
        error = "cannot open " + kCasesDir + "/p452_cases.csv";
        return cases;
    }
    std::vector<std::string> columns;
    std::string line;
    int number = 0;
    while (std::getline(file, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        const std::vector<std::string> fields = SplitCsv(line);
        if (columns.empty()) {
            columns = fields;
            continue;
        }
        if (fields.size() != columns.size() || fields.size() < 10) {
            error = "line " + std::to_string(number) + " has " + std::to_string(fields.size()) +
                    " fields, the header " + std::to_string(columns.size());
            return {};
        }
        std::vector<double> values(fields.size(), 0.0);
        for (size_t i = 2; i < fields.size(); ++i) {
            char* end = nullptr;
            values[i] = std::strtod(fields[i].c_str(), &end);
            if (end == fields[i].c_str() || *end != '\0') {
                error = "line " + std::to_string(number) + ": " + columns[i] + " \"" + fields[i] +
                        "\" is not a number";
                return {};
            }
        }
        ReferenceCase c;
        c.name = fields[0];
        c.profile = fields[1];
        c.latitude = values[2];
        c.inputs.n0 = values[3];
        c.inputs.deltaN = values[4];
        c.inputs.frequency = values[5];
        c.inputs.timePercent = values[6];
        c.inputs.htg = values[7];
        c.inputs.hrg = values[8];
        for (size_t i = 9; i < fields.size(); ++i)
            c.expected.emplace_back(columns[i], values[i]);
        cases.push_back(c);
    }
    return cases;
}

// The engine's value of a table column; false for an unknown column.
bool Member(const CTerrain& e, const std::string& name, double& value) {
    const std::vector<std::pair<const char*, std::function<double()>>> members = {
        {"lbfsg", [&] { return e.loss.lbfsg; }},
        {"lb0p", [&] { return e.loss.lb0p; }},
        {"lb0b", [&] { return e.loss.lb0b; }},
        {"lbd50", [&] { return e.loss.lbd50; }},
        {"ldp", [&] { return e.loss.ldp; }},
        {"lbd", [&] { return e.loss.lbd; }},
        {"lbs", [&] { return e.loss.lbs; }},
        {"lba", [&] { return e.loss.lba; }},
        {"lb", [&] { return e.loss.lb; }},
        {"theta", [&] { return e.loss.theta; }},
        {"kMedian", [&] { return e.kMedian; }},
        {"beta0", [&] { return e.beta0; }},
        {"omega", [&] { return e.omega; }},
        {"dtm", [&] { return e.dtm; }},
        {"dlm", [&] { return e.dlm; }},
        {"dct", [&] { return e.dct; }},
        {"dcr", [&] { return e.dcr; }},
        {"thetaT", [&] { return e.thetaT; }},
        {"thetaR", [&] { return e.thetaR; }},
        {"dlt", [&] { return e.dlt; }},
        {"dlr", [&] { return e.dlr; }},
        {"hst", [&] { return e.hst; }},
        {"hsr", [&] { return e.hsr; }},
        {"hte", [&] { return e.hte; }},
        {"hre", [&] { return e.hre; }},
        {"hm", [&] { return e.hm; }},
        {"edgeMain", [&] { return e.edgeMain; }},
        {"edgeTx", [&] { return e.edgeTx; }},
        {"edgeRx", [&] { return e.edgeRx; }},
        {"lineOfSight", [&] { return e.lineOfSight ? 1.0 : 0.0; }},
        {"hullCount", [&] { return e.profile.hullCount; }},
    };
    for (const auto& [member, get] : members)
        if (name == member) {
            value = get();
            return true;
        }
    return false;
}

// Relative 1e-9, or absolute 1e-9 near zero; integers and flags exactly.
bool Agrees(double expected, double actual) {
    const double diff = std::fabs(expected - actual);
    return diff <= 1e-9 || diff <= 1e-9 * std::max(std::fabs(expected), std::fabs(actual));
}

void ExpectCase(CTerrain& engine, const ReferenceCase& c, const char* which) {
    std::vector<ProfilePoint> points;
    try {
        points = cli::ReadProfileCsv(kCasesDir + "/" + c.profile);
    } catch (const std::exception& e) {
        ADD_FAILURE() << "case " << c.name << ": profile " << c.profile << ": " << e.what();
        return;
    }
    ASSERT_TRUE(engine.CalculateProfile(points, c.latitude, c.inputs))
        << "case " << c.name << " (" << which << " engine): the calculation failed";
    for (const auto& [name, expected] : c.expected) {
        double actual = 0.0;
        if (!Member(engine, name, actual)) {
            ADD_FAILURE() << "case " << c.name << ": unknown column " << name;
            continue;
        }
        EXPECT_TRUE(Agrees(expected, actual))
            << "case " << c.name << " (" << which << " engine), member " << name << ": expected "
            << std::setprecision(17) << expected << ", engine " << actual;
    }
}

TEST(ReferenceCases, TableCoversTheMainBranches) {
    std::string error;
    const std::vector<ReferenceCase> cases = LoadCases(error);
    ASSERT_TRUE(error.empty()) << error;
    ASSERT_GE(cases.size(), 20u) << "too few cases in " << kCasesDir << "/p452_cases.csv";

    // The table is only worth its name if it reaches both sides of the
    // branches that decide the figures.
    int lineOfSight = 0, diffraction = 0, median = 0, belowBeta0 = 0, sea = 0;
    for (const ReferenceCase& c : cases) {
        for (const auto& [name, value] : c.expected) {
            if (name == "lineOfSight") (value != 0.0 ? lineOfSight : diffraction)++;
            if (name == "omega" && value >= 0.75) ++sea;
            if (name == "beta0" && c.inputs.timePercent < value) ++belowBeta0;
        }
        if (c.inputs.timePercent == 50.0) ++median;
        EXPECT_EQ(c.expected.size(), 31u) << "case " << c.name;
    }
    EXPECT_GT(lineOfSight, 0);
    EXPECT_GT(diffraction, 0);
    EXPECT_GT(median, 0);
    EXPECT_GT(belowBeta0, 0);
    EXPECT_GT(sea, 0);
}

TEST(ReferenceCases, EveryMemberMatchesOnFreshAndReusedEngines) {
    std::string error;
    const std::vector<ReferenceCase> cases = LoadCases(error);
    ASSERT_TRUE(error.empty()) << error;
    ASSERT_FALSE(cases.empty()) << "no cases in " << kCasesDir << "/p452_cases.csv";

    auto reused = std::make_unique<CTerrain>();
    for (const ReferenceCase& c : cases) {
        auto fresh = std::make_unique<CTerrain>();
        ExpectCase(*fresh, c, "fresh");
        ExpectCase(*reused, c, "reused");
    }
}

} // namespace
} // namespace kestrova
