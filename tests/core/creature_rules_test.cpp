#include <gtest/gtest.h>

#include <limits>

#include "editing/ability_codes.h"
#include "editing/creature_choices.h"

namespace tavrel {
namespace {

constexpr std::int32_t kInt32Min = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kInt32Max = std::numeric_limits<std::int32_t>::max();

// The creature screen's tests show every job, list item, flag and offered ability;
// these are the values a file can bring that no control offers.
TEST(CreatureChoices, JobChecksNeverWrap) {
    EXPECT_EQ(jobsAfterCheck(-1, 3, false), -9);
    EXPECT_EQ(jobsAfterCheck(kInt32Min, 0, true), kInt32Min + 1);
}

TEST(AbilityCodes, CodesWithoutAPickerNameAreUnknown) {
    for (std::int32_t code : {3, 18, 30, 33, 34, 35, 38, -1, 40, 255, kInt32Min}) {
        EXPECT_EQ(abilityScreenName(code), "Unknown") << code;
        EXPECT_EQ(abilityClass(code), AbilityClass::Unlisted) << code;
        EXPECT_EQ(abilityPickerName(code), std::nullopt) << code;
    }
}

TEST(AbilityCodes, CodesWithoutAPickerNameStepToTheirNumericNeighbours) {
    // A code, what "+" makes of it, what "-" makes of it.
    const std::int32_t from[] = {18, 33, 38, 3, 40, 254, 255, 1000, -1, kInt32Min, kInt32Max};
    const std::int32_t plus[] = {19, 34, 39, 4, 41, 255, 255, 255, 0, kInt32Min + 1, 255};
    const std::int32_t minus[] = {17, 32, 37, 2, 39, 253, 254, 999, -2, kInt32Min, kInt32Max - 1};
    for (std::size_t i = 0; i < std::size(from); ++i) {
        EXPECT_EQ(nextAbility(from[i]), plus[i]) << from[i];
        EXPECT_EQ(previousAbility(from[i]), minus[i]) << from[i];
    }
}

} // namespace
} // namespace tavrel
