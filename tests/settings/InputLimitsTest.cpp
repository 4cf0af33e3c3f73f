// The one table of numeric inputs, as the window's fields and the command
// line read it.
#include "settings/InputLimits.h"
#include "propagation/common/KFactor.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace kestrova {
namespace {

TEST(InputLimits, EveryEntryIsConsistent) {
    std::set<std::string> names;
    for (const InputLimit& limit : InputLimits()) {
        SCOPED_TRACE(limit.name);
        EXPECT_TRUE(names.insert(limit.name).second) << "twice";
        EXPECT_LT(limit.minimum, limit.maximum);
        EXPECT_TRUE(limit.Contains(limit.initial));
        EXPECT_GE(limit.decimals, 0);
        EXPECT_LE(limit.decimals, 15);
        EXPECT_EQ(FindInputLimit(limit.name), &limit);
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

} // namespace
} // namespace kestrova
