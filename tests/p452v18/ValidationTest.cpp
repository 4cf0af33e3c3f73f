// P.452-18 against ITU-R's own validation examples: every result row of
// every profile, each loss within 1e-6 dB, each path parameter within the
// files' printing (6 decimals).
#include "ItuValidation.h"

#include <gtest/gtest.h>

#include <cmath>

namespace kestrova::test {
namespace {

using p452v18::Result;

struct Column {
    const char* name;
    double Result::*member;
};

const Column lossColumns[] = {
    {"Lb", &Result::lb},     {"Lbfsg", &Result::lbfsg}, {"Lb0p", &Result::lb0p},
    {"Lb0b", &Result::lb0b}, {"Ldsph", &Result::ldsph}, {"Ld50", &Result::ld50},
    {"Ldp", &Result::ldp},   {"Lbs", &Result::lbs},     {"Lba", &Result::lba},
};

const Column pathColumns[] = {
    {"ae", &Result::ae},       {"dtot", &Result::d},         {"hts", &Result::hts},
    {"hrs", &Result::hrs},     {"theta_t", &Result::thetaT}, {"theta_r", &Result::thetaR},
    {"theta", &Result::theta}, {"hm", &Result::hm},          {"hte", &Result::hte},
    {"hre", &Result::hre},     {"hstd", &Result::hstd},      {"hsrd", &Result::hsrd},
    {"dlt", &Result::dlt},     {"dlr", &Result::dlr},        {"dtm", &Result::dtm},
    {"dlm", &Result::dlm},     {"b0", &Result::beta0},       {"omega", &Result::omega},
};

class ItuValidation : public ::testing::TestWithParam<std::string> {};

TEST_P(ItuValidation, EveryRowEqualsTheReference) {
    const ItuProfile profile = ReadItuProfile(GetParam());
    const std::vector<ItuRow> rows = ReadItuResults(GetParam());
    ASSERT_EQ(rows.size(), 35u) << ItuDirectory();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const ItuRow& row = rows[i];
        SCOPED_TRACE("row " + std::to_string(i + 2) + ": f " + row.at("f (GHz)") + " GHz, p " +
                     row.at("p (%)") + " %");
        Result r;
        ASSERT_EQ(p452v18::Calculate(profile.View(), ItuInputs(row), r), "");
        for (const Column& c : lossColumns)
            EXPECT_NEAR(r.*c.member, Number(row, c.name), 1e-6) << c.name;
        for (const Column& c : pathColumns)
            EXPECT_NEAR(r.*c.member, Number(row, c.name), 5.1e-7) << c.name;
        EXPECT_EQ(r.lineOfSight, row.at("path") == "Line of Sight");
    }
}

INSTANTIATE_TEST_SUITE_P(AllProfiles, ItuValidation, ::testing::ValuesIn(ItuProfileNames()),
                         [](const auto& param) { return param.param; });

} // namespace
} // namespace kestrova::test
