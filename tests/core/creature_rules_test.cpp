#include <gtest/gtest.h>

#include <limits>

#include "editing/ability_codes.h"
#include "editing/creature_choices.h"

namespace tavrel {
namespace {

constexpr std::int32_t kInt32Min = std::numeric_limits<std::int32_t>::min();

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

TEST(CreatureChoices, CreatureListsRunInThePickersOrderBothWays) {
    const struct {
        int item;
        std::int32_t kind;
    } cases[] = {{0, 0}, {1, 23}, {10, 17}, {17, 14}, {18, 8}, {25, 1}, {30, 7}};
    for (const auto& c : cases) {
        EXPECT_EQ(kindOfCreatureListItem(c.item), c.kind) << c.item;
        EXPECT_EQ(creatureListItem(c.kind), c.item) << c.kind;
    }
    for (std::int32_t kind : {31, -1, 255, kInt32Min})
        EXPECT_EQ(creatureListItem(kind), std::nullopt) << kind;
    for (int item : {-1, 31})
        EXPECT_EQ(kindOfCreatureListItem(item), std::nullopt) << item;
}

TEST(CreatureChoices, EntryRoomsStandForTheirRoomCodes) {
    const struct {
        int item;
        std::int32_t code;
    } cases[] = {{0, 0}, {1, 2}, {2, 14}, {12, 10}, {15, 1}, {16, 7}};
    for (const auto& c : cases) {
        EXPECT_EQ(roomOfEntryItem(c.item), c.code) << c.item;
        EXPECT_EQ(entryRoomItem(c.code), c.item) << c.code;
    }
    for (std::int32_t code : {17, -1, 1000})
        EXPECT_EQ(entryRoomItem(code), std::nullopt) << code;
    EXPECT_EQ(roomOfEntryItem(17), std::nullopt);
}

TEST(CreatureChoices, FlagsMapTheirFieldsWithWindReversedAndTheFlysAnger) {
    using F = CreatureFlag;
    EXPECT_TRUE(flagChecked(F::ImmuneToGas, 1));
    EXPECT_FALSE(flagChecked(F::SeeInvisible, 2));
    EXPECT_TRUE(flagChecked(F::NotBlownByWind, 0));
    EXPECT_FALSE(flagChecked(F::NotBlownByWind, 1));
    EXPECT_EQ(flagValue(F::NotBlownByWind, true, 1), 0);
    EXPECT_EQ(flagValue(F::NotBlownByWind, false, 1), 1);
    EXPECT_EQ(flagValue(F::LockedDoors, true, 1), 1);
    EXPECT_TRUE(flagChecked(F::CanBecomeAngry, -5));
    EXPECT_EQ(flagValue(F::CanBecomeAngry, true, 19), 8000); // the Fly
    EXPECT_EQ(flagValue(F::CanBecomeAngry, true, 23), 4000); // the Imp
    EXPECT_EQ(flagValue(F::CanBecomeAngry, false, 19), 0);
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
    const struct {
        std::int32_t from, plus, minus;
    } cases[] = {
        {0, 39, 0},
        {39, 2, 0},
        {2, 1, 39},
        {1, 4, 2},
        {4, 5, 1},
        {17, 19, 16},
        {19, 20, 17},
        {29, 31, 28},
        {31, 32, 29},
        {32, 36, 31},
        {36, 37, 32},
        {37, 37, 36},
        {18, 19, 17},
        {33, 34, 32},
        {38, 39, 37},
        {3, 4, 2},
        {40, 41, 39},
        {254, 255, 253},
        {255, 255, 254},
        {1000, 255, 999},
        {-1, 0, -2},
        {kInt32Min, kInt32Min + 1, kInt32Min},
        {std::numeric_limits<std::int32_t>::max(), 255,
         std::numeric_limits<std::int32_t>::max() - 1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(nextAbility(c.from), c.plus) << c.from;
        EXPECT_EQ(previousAbility(c.from), c.minus) << c.from;
    }
    // Ten "+" from "None" end on "Reflect".
    std::int32_t code = 0;
    for (int i = 0; i < 10; ++i)
        code = nextAbility(code);
    EXPECT_EQ(code, 10);
}

TEST(AbilityCodes, LookByClassAndChange) {
    const struct {
        std::int32_t code, factory;
        AbilityTone name;
        bool levelGrey;
    } cases[] = {
        {0, 0, AbilityTone::Grey, true},   {0, 5, AbilityTone::Changed, true},
        {31, 31, AbilityTone::Red, false}, {31, 5, AbilityTone::Red, false},
        {5, 5, AbilityTone::Black, false}, {11, 5, AbilityTone::Changed, false},
        {18, 18, AbilityTone::Red, false}, {40, 0, AbilityTone::Red, false},
    };
    for (const auto& c : cases) {
        const AbilityLook look = abilityLook(c.code, c.factory);
        EXPECT_EQ(look.name, c.name) << c.code << " " << c.factory;
        EXPECT_EQ(look.levelGrey, c.levelGrey) << c.code;
    }
}

} // namespace
} // namespace tavrel
