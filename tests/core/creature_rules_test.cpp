#include <gtest/gtest.h>

#include <limits>

#include "editing/ability_codes.h"
#include "editing/creature_choices.h"

namespace tavrel {
namespace {

constexpr std::int32_t kInt32Min = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kInt32Max = std::numeric_limits<std::int32_t>::max();

TEST(CreatureChoices, JobChecksAddAndSubtractTheirValueOnly) {
    // Dig and Fight into an empty list, then Dig out again.
    EXPECT_EQ(jobsAfterCheck(jobsAfterCheck(0, 1, true), 7, true), 130);
    EXPECT_EQ(jobsAfterCheck(130, 1, false), 128);
    // A bit above the shown items (from a file) stays through every change.
    const std::int32_t fromFile = 32768 + 1;
    EXPECT_TRUE(jobChecked(fromFile, 0));
    for (int item = 1; item < kJobItems; ++item)
        EXPECT_FALSE(jobChecked(fromFile, item)) << item;
    EXPECT_EQ(jobsAfterCheck(fromFile, 0, false), 32768);
    EXPECT_EQ(jobsAfterCheck(fromFile, 14, true), 32768 + 16384 + 1);
    EXPECT_EQ(jobsAfterCheck(-1, 3, false), -9);
    EXPECT_EQ(jobsAfterCheck(kInt32Min, 0, true), kInt32Min + 1);
}

TEST(CreatureChoices, CreatureAndRoomListsMapItemsBothWays) {
    // Creature lists: item 0 is no creature, then the picker's order, bad guys first.
    for (const auto& [item, kind] :
         {std::pair{0, 0}, {1, 23}, {10, 17}, {17, 14}, {18, 8}, {25, 1}, {30, 7}}) {
        EXPECT_EQ(kindOfCreatureListItem(item), kind) << item;
        EXPECT_EQ(creatureListItem(kind), item) << kind;
    }
    for (const auto& [item, code] :
         {std::pair{0, 0}, {1, 2}, {2, 14}, {12, 10}, {15, 1}, {16, 7}}) {
        EXPECT_EQ(roomOfEntryItem(item), code) << item;
        EXPECT_EQ(entryRoomItem(code), item) << code;
    }
    for (std::int32_t outside : {31, -1, 1000, kInt32Min}) {
        EXPECT_EQ(creatureListItem(outside), std::nullopt) << outside;
        EXPECT_EQ(entryRoomItem(outside), std::nullopt) << outside;
    }
    EXPECT_EQ(entryRoomItem(17), std::nullopt);
    EXPECT_EQ(kindOfCreatureListItem(31), std::nullopt);
    EXPECT_EQ(roomOfEntryItem(17), std::nullopt);
}

TEST(CreatureChoices, FlagsMapTheirFieldsWithWindReversedAndTheFlysAnger) {
    using F = CreatureFlag;
    const struct {
        F flag;
        std::int32_t value;
        bool checked;
        int kind;
        std::int32_t stored; // by a user's check or uncheck to `checked`
    } cases[] = {{F::ImmuneToGas, 1, true, 1, 1},         {F::SeeInvisible, 2, false, 1, 0},
                 {F::LockedDoors, 0, false, 1, 0},        {F::NotBlownByWind, 0, true, 1, 0},
                 {F::NotBlownByWind, 1, false, 1, 1},     {F::CanBecomeAngry, 8000, true, 19, 8000},
                 {F::CanBecomeAngry, -5, true, 23, 4000}, {F::CanBecomeAngry, 0, false, 19, 0}};
    for (const auto& c : cases) {
        EXPECT_EQ(flagChecked(c.flag, c.value), c.checked) << c.value;
        EXPECT_EQ(flagValue(c.flag, c.checked, c.kind), c.stored) << c.value;
    }
    EXPECT_EQ(flagInfo(F::NotBlownByWind).field, 75);
    EXPECT_EQ(attackCaption(1), "Melee");
    EXPECT_EQ(attackCaption(5), "Ranged");
    EXPECT_EQ(toggledAttack(1), 2);
    EXPECT_EQ(toggledAttack(5), 1);
}

TEST(AbilityCodes, NamesAndClassesOfEveryCode) {
    // Codes 0..39, five to a row.
    const char* names[8][5] = {
        {"None", "Melee (Sword)", "Melee (Fist)", "Unknown", "Arrow (P)"},
        {"Fireball (P)", "Meteor (P)", "Freeze (P)", "Armour", "Lightning"},
        {"Reflect", "Heal", "Poison Cloud (P)", "Conceal", "Teleport"},
        {"Speed", "Slow (P)", "Drain", "Unknown", "Missile (P)"},
        {"Homing Missile (P)", "Flame Breath", "Wind (P)", "Light", "Fly"},
        {"Sight", "Grenade (P)", "Hailstorm (P)", "Word of Power", "Poison Gas"},
        {"Unknown", "Claim Any Tile", "Damage Tiles", "Unknown", "Unknown"},
        {"Unknown", "Eat (Without Food)", "Damage Any Tile", "Unknown", "Dig"},
    };
    int offered = 0;
    for (int code = 0; code < 40; ++code) {
        const std::string_view name = names[code / 5][code % 5];
        EXPECT_EQ(abilityScreenName(code), name) << code;
        const bool unknown = name == "Unknown";
        EXPECT_EQ(abilityPickerName(code).has_value(), !unknown) << code;
        EXPECT_EQ(abilityClass(code) == AbilityClass::Unlisted, unknown) << code;
        offered += !unknown;
    }
    EXPECT_EQ(offered, 33);
    EXPECT_EQ(abilityPickerName(32), "Damage Tiles (Claimed)");
    EXPECT_EQ(abilityPickerName(22), "Wind (Projectiles)");
    for (int code : {31, 32, 36, 37})
        EXPECT_EQ(abilityClass(code), AbilityClass::Red) << code;
    EXPECT_EQ(abilityClass(0), AbilityClass::Empty);
    for (std::int32_t code : {-1, 40, 255, kInt32Min}) {
        EXPECT_EQ(abilityScreenName(code), "Unknown");
        EXPECT_EQ(abilityClass(code), AbilityClass::Unlisted);
        EXPECT_EQ(abilityPickerName(code), std::nullopt);
    }
}

TEST(AbilityCodes, StepsFollowThePickersOrderAndNumericNeighbours) {
    // Column by column: a code, what "+" makes of it, what "-" makes of it.
    const std::int32_t from[] = {0,  39, 2,  1, 4,  17,  19,  29,   31, 32,        36,       37,
                                 18, 33, 38, 3, 40, 254, 255, 1000, -1, kInt32Min, kInt32Max};
    const std::int32_t plus[] = {39, 2,  1,  4,  5, 19, 20,  31,  32,  36, 37,
                                 37, 19, 34, 39, 4, 41, 255, 255, 255, 0,  kInt32Min + 1,
                                 255};
    const std::int32_t minus[] = {0,  0,  39, 2, 1,  16,  17,  28,  29, 31,        32,           36,
                                  17, 32, 37, 2, 39, 253, 254, 999, -2, kInt32Min, kInt32Max - 1};
    for (std::size_t i = 0; i < std::size(from); ++i) {
        EXPECT_EQ(nextAbility(from[i]), plus[i]) << from[i];
        EXPECT_EQ(previousAbility(from[i]), minus[i]) << from[i];
    }
}

TEST(AbilityCodes, LookByClassAndChange) {
    const struct {
        std::int32_t code, factory;
        AbilityTone name;
        bool levelGrey;
    } cases[] = {{0, 0, AbilityTone::Grey, true},   {0, 5, AbilityTone::Changed, true},
                 {31, 31, AbilityTone::Red, false}, {31, 5, AbilityTone::Red, false},
                 {5, 5, AbilityTone::Black, false}, {11, 5, AbilityTone::Changed, false},
                 {18, 18, AbilityTone::Red, false}, {40, 0, AbilityTone::Red, false}};
    for (const auto& c : cases) {
        const AbilityLook look = abilityLook(c.code, c.factory);
        EXPECT_EQ(look.name, c.name) << c.code << " " << c.factory;
        EXPECT_EQ(look.levelGrey, c.levelGrey) << c.code;
    }
}

} // namespace
} // namespace tavrel
