#include <gtest/gtest.h>

#include "core/factory_defaults.h"
#include "editing/creature_grid.h"

namespace tavrel {
namespace {

constexpr int kImp = 23;
constexpr int kFly = 19;

// Each value shows as the creature screen names it and the text reads back as the
// same value, from any other value of the cell.
TEST(CreatureGrid, EncodedCellsShowTheirNamesAndTakeThemBack) {
    struct Case {
        int kind, field;
        std::int32_t value;
        std::string_view text;
    };
    const Case cases[] = {
        {1, 5, 350, "350"},
        {1, 1, 130, "Dig, Fight"},
        {1, 1, 0, "None"},
        {1, 1, 32769, "32769"},
        {1, 4, 129, "Attack Creatures, Join The Enemy"},
        {1, 35, 17, "Dragon"},
        {1, 35, 0, "No Change"},
        {1, 71, 0, "None"},
        {1, 71, 31, "31"},
        {1, 64, 10, "Temple"},
        {1, 63, 1, "Portal"},
        {1, 39, 4, "Arrow (P)"},
        {1, 40, 31, "Claim Any Tile"},
        {1, 41, 18, "18"},
        {1, 37, 1, "Yes"},
        {1, 75, 0, "Yes"},
        {1, 75, 1, "No"},
        {1, 72, 2, "2"},
        {kFly, 15, 8000, "Yes"},
        {kImp, 15, 4000, "Yes"},
        {kImp, 15, 3000, "3000"},
        {kImp, 15, 0, "No"},
        {1, 38, 1, "Melee"},
        {1, 38, 2, "Ranged"},
        {1, 38, 5, "5"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(cellText(c.kind, c.field, c.value), c.text) << c.field;
        EXPECT_EQ(cellValue(c.kind, c.field, 9, c.text), c.value) << c.text;
    }
    // Any case, blanks around, and the picker's spelling of an ability.
    EXPECT_EQ(cellValue(1, 1, 0, " dig ,FIGHT "), 130);
    EXPECT_EQ(cellValue(1, 39, 0, "Arrow (Projectile)"), 4);
    EXPECT_EQ(cellValue(kFly, 15, 0, "yes"), 8000);
    // Numbers through the input box's rule: bounds in the direction of the change.
    EXPECT_EQ(cellValue(1, 5, 350, "70000"), 65535);
    EXPECT_EQ(cellValue(1, 5, 350, "0"), 1);
    EXPECT_EQ(cellValue(1, 7, 15, "-5"), 0);
    EXPECT_EQ(cellValue(1, 7, 15, "2.5"), 2);
    EXPECT_EQ(cellValue(1, 7, 300, "280"), 280);
    for (const auto& [field, text] : {std::pair{5, "abc"},
                                      {5, "12abc"},
                                      {5, "1,234"},
                                      {5, ""},
                                      {1, "Dig, Sleep"},
                                      {71, "Sorceror"},
                                      {39, "Unknown"}})
        EXPECT_EQ(cellValue(1, field, 9, text), std::nullopt) << text;
}

TEST(CreatureGrid, TabSeparatedTextAsSpreadsheetsWriteIt) {
    const TsvTable table = parseTsv("1\t\"a\tb\"\r\n\"say \"\"hi\"\"\"\t\n\n3\n");
    const TsvTable expected = {{"1", "a\tb"}, {"say \"hi\"", ""}, {""}, {"3"}};
    EXPECT_EQ(table, expected);
    EXPECT_EQ(parseTsv(toTsv(expected)), expected);
}

TEST(CreatureGrid, PasteTakesWhatItCanAndNamesTheFirstRefusedCell) {
    const std::vector<int> picker = sortedKinds(factoryDefaults(), 5, SortOrder::Picker);
    // Health, Armour and Strength of the Imp and the Ghost, and a word for the Skeleton.
    const auto cells = pasteCells(parseTsv("80\tabc\t5\n210\t25\nx\n"), picker, 0, 0);
    const PasteOutcome outcome = applyPaste(factoryDefaults(), cells);
    EXPECT_EQ(outcome.values[recordOf(SlotRef::creature(kImp, 5)) - 1], 80);
    EXPECT_EQ(outcome.values[recordOf(SlotRef::creature(kImp, 7)) - 1], 5); // refused
    EXPECT_EQ(outcome.values[recordOf(SlotRef::creature(28, 5)) - 1], 210); // the Ghost
    EXPECT_EQ(pasteSummary(outcome),
              "Paste: 3 values changed, 2 cells refused (first: Imp, Armour \"abc\").");
    // With its headers a block goes to the creatures and columns it names.
    const auto headed = pasteCells(parseTsv("Creature\tArmour\nDragon\t91\n"), picker, 5, 5);
    EXPECT_EQ(applyPaste(factoryDefaults(), headed).values[recordOf(SlotRef::creature(17, 7)) - 1],
              91);
}

TEST(CreatureGrid, ScaleRoundsHalfToEvenWithinTheBoundsOfTyping) {
    struct Case {
        int field;
        std::int32_t value;
        double percent;
        std::int32_t scaled;
    };
    const Case cases[] = {{7, 15, 110, 16}, {7, 25, 110, 28},   {5, 65000, 110, 65535},
                          {5, 1, 50, 1},    {7, 250, 200, 255}, {7, 300, 90, 270},
                          {36, 7, 150, 10}, {7, 5, 0, 0}};
    for (const Case& c : cases)
        EXPECT_EQ(scaledValue(c.value, c.percent, 1, c.field), c.scaled) << c.field;
    const ScaleOutcome outcome =
        applyScale(factoryDefaults(), {{kImp, 5}, {kImp, 1}, {kFly, 5}}, 110);
    EXPECT_EQ(outcome.values[recordOf(SlotRef::creature(kFly, 5)) - 1], 165);
    EXPECT_EQ(scaleSummary(110, outcome),
              "Scale 110 %: 2 values changed, 1 encoded cell left alone.");
}

TEST(CreatureGrid, SortsByValueWithTiesInPickerOrder) {
    const ValueSet& values = factoryDefaults();
    const std::vector<int> up = sortedKinds(values, 5, SortOrder::Ascending);
    EXPECT_EQ(std::vector<int>(up.begin(), up.begin() + 3), (std::vector<int>{kImp, kFly, 11}));
    const std::vector<int> down = sortedKinds(values, 5, SortOrder::Descending);
    EXPECT_EQ(down.front(), 7); // the Avatar
    EXPECT_EQ(std::vector<int>(down.end() - 3, down.end()), (std::vector<int>{kFly, 11, kImp}));
    // Names alphabetically: "Dig" (the Imp), then "Flame Breath" (the Dragon).
    const std::vector<int> abilities = sortedKinds(values, 39, SortOrder::Ascending);
    EXPECT_EQ(std::vector<int>(abilities.begin(), abilities.begin() + 2),
              (std::vector<int>{kImp, 17}));
}

} // namespace
} // namespace tavrel
