// The one table of numeric inputs, as the window's fields and the command
// line read it.
#include "inputs/InputLimits.h"
#include "propagation/common/KFactor.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace kestrova {
namespace {

TEST(InputLimits, EveryEntryIsConsistent) {
    std::set<std::string> names;
    std::set<std::string> keys;
    for (const InputLimit& limit : InputLimits()) {
        SCOPED_TRACE(limit.name);
        EXPECT_TRUE(names.insert(limit.name).second) << "twice";
        EXPECT_LT(limit.minimum, limit.maximum);
        EXPECT_TRUE(limit.Contains(limit.initial));
        EXPECT_GE(limit.decimals, 0);
        EXPECT_LE(limit.decimals, 15);
        EXPECT_EQ(FindInputLimit(limit.name), &limit);
        EXPECT_TRUE(limit.Contains(limit.reset));
        EXPECT_NE(*limit.description, '\0') << "every input says what it is";
        // One spelling of each settings key and of each option's meaning.
        if (*limit.settingsKey) {
            EXPECT_TRUE(keys.insert(limit.settingsKey).second) << limit.settingsKey;
            EXPECT_FALSE(limit.Section().empty()) << limit.settingsKey;
            EXPECT_FALSE(limit.Key().empty()) << limit.settingsKey;
        }
    }
    EXPECT_EQ(FindInputLimit("nonsense"), nullptr);
    EXPECT_EQ(FieldLimits().size(), 25u);
    for (const InputLimit& field : FieldLimits())
        EXPECT_TRUE(field.field) << field.name;
}

// ΔN spans exactly the k-factors the K_FACT field takes: k = 157 / (157 - ΔN)
// stays positive and finite.
TEST(InputLimits, DeltaNMatchesTheKFactorsLimits) {
    EXPECT_NEAR(p452::KFactor(limits::deltaN.minimum), limits::kFactor.minimum, 1e-12);
    EXPECT_NEAR(p452::KFactor(limits::deltaN.maximum), limits::kFactor.maximum, 1e-9);
    EXPECT_EQ(limits::frequency.RangeText(), "must lie between 0.025 and 300 GHz");
    EXPECT_EQ(limits::kFactor.RangeText(), "must lie between 0.01 and 100");
}

TEST(InputLimits, SpeaksForTheSettingsFileAndTheCommandLine) {
    EXPECT_EQ(limits::frequency.Section(), "LinkData");
    EXPECT_EQ(limits::frequency.Key(), "Frequency");
    EXPECT_EQ(limits::frequency.HelpText(), "GHz, 0.025 to 300, default 10.368");
    EXPECT_EQ(limits::kFactor.HelpText(), "0.01 to 100, default 1.333");
    EXPECT_STREQ(limits::txHeight.option, "tx-height");
    EXPECT_EQ(limits::edition.initial, 14.0);
}

} // namespace
} // namespace kestrova
