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
    const TsvTable table = *parseTsv("1\t\"a\tb\"\r\n\"say \"\"hi\"\"\"\t\n\n3\n");
    const TsvTable expected = {{"1", "a\tb"}, {"say \"hi\"", ""}, {""}, {"3"}};
    EXPECT_EQ(table, expected);
    EXPECT_EQ(parseTsv(toTsv(expected)), expected);
}

// A paste holds no more than the grid with its headings: 31 lines of 76 cells, empty
// cells and lines beyond them aside, in a text of at most 1,000,000 bytes.
TEST(CreatureGrid, PasteRefusesMoreThanTheGridBeforeReadingIt) {
    const std::string line76 = std::string(75, '\t') + "1";
    const std::string tooMany = "Paste refused: more cells than the grid's 30 creatures by 75 "
                                "fields and their headings; nothing changed.";
    const std::pair<std::string, std::string> cases[] = {
        {[] {
             std::string t;
             for (int i = 0; i < 31; ++i)
                 t += "1\n";
             return t + "\n\t\n";
         }(),
         ""},
        {[] {
             std::string t;
             for (int i = 0; i < 32; ++i)
                 t += "1\n";
             return t;
         }(),
         tooMany},
        {line76 + "\t\t\n", ""},
        {line76 + "\t1\n", tooMany},
        {"\"" + std::string(999'998, ' ') + "\"", ""},
        {std::string(1'000'001, ' '),
         "Paste refused: the text is longer than 1000000 bytes; nothing changed."},
    };
    for (const auto& [text, refusal] : cases)
        EXPECT_EQ(readPaste(text).refusal, refusal) << text.size();
    // A cell of more than 1,000 bytes is refused unread.
    const std::vector<int> picker = sortedKinds(factoryDefaults(), 5, SortOrder::Picker);
    for (const auto& [blanks, status] :
         {std::pair{998, "Paste: 1 value changed, 0 cells refused."},
          {999, "Paste: 0 values changed, 1 cell refused (first: Imp, Health \"80\")."}})
        EXPECT_EQ(pasteSummary(applyPaste(
                      factoryDefaults(), planPaste(readPaste("80" + std::string(blanks, ' ')).table,
                                                   {picker, {{0, 0}}}))),
                  status);
}

// Clipboard texts pasted on selections of the grid in the picker's order (row 0 the
// Imp, row 9 the Dragon; column 0 Health, 1 Armour, 2 Strength, 69 Primary Jobs, 74
// Hated Creature): the values afterwards and the status.
TEST(CreatureGrid, PasteGoesWhereTheUserPutItAndSaysWhatHappened) {
    struct Case {
        std::string_view text;
        std::vector<std::pair<int, int>> selected;
        std::vector<std::tuple<int, int, std::int32_t>> values; // kind, field, value
        std::string_view status;
    };
    std::vector<std::pair<int, int>> healthColumn;
    for (int row = 0; row < 30; ++row)
        healthColumn.emplace_back(row, 0);
    const Case cases[] = {
        {"80\tabc\t5\n210\t25\nx\n",
         {{0, 0}},
         {{kImp, 5, 80}, {kImp, 7, 5}, {28, 7, 25}},
         "Paste: 3 values changed, 2 cells refused (first: Imp, Armour \"abc\")."},
        {"70000\t12.5\t-3\n",
         {{0, 0}},
         {{kImp, 5, 65535}, {kImp, 7, 12}, {kImp, 6, 0}},
         "Paste: 3 values changed, 0 cells refused, 2 values held at a bound (first: Imp, "
         "Health 70000 held at 65535), 1 value rounded (first: Imp, Armour 12.5 rounded to 12)."},
        {"80\t\n", {{0, 0}}, {{kImp, 5, 80}}, "Paste: 1 value changed, 0 cells refused."},
        {"Health\tArmour\n80\t6\n",
         {{0, 0}},
         {{kImp, 5, 80}, {kImp, 7, 6}},
         "Paste: 2 values changed, 0 cells refused."},
        {"Health\tArmour\n80\t6\n",
         {{9, 2}},
         {{17, 6, 80}, {17, 10, 6}, {17, 5, 900}},
         "Paste: 2 values changed, 0 cells refused. Pasted at the selected cell, not under the "
         "copied headings."},
        {"Creature\tArmour\nDragon\t91\n",
         {{5, 5}},
         {{26, 12, 91}, {17, 7, 90}},
         "Paste: 1 value changed, 0 cells refused. Pasted at the selected cell, not under the "
         "copied headings."},
        {"Creature\tArmour\tArmr\nDragon\t91\t7\nDragn\t8\n",
         {{9, 1}},
         {{17, 7, 91}},
         "Paste: 1 value changed, 0 cells refused, 1 cell under an unknown heading (first: "
         "\"Armr\"), 1 cell of an unknown creature (first: \"Dragn\")."},
        {"Creature\tHealth\nDragon\t950\nImp\t70\n",
         healthColumn,
         {{17, 5, 950}, {kImp, 5, 70}},
         "Paste: 2 values changed, 0 cells refused."},
        {"7\t\n",
         {{0, 1}, {1, 1}},
         {{kImp, 7, 7}, {28, 7, 7}},
         "Paste: 2 values changed, 0 cells refused."},
        {"Health\n",
         {{0, 0}},
         {{kImp, 5, 75}},
         "Paste: 0 values changed, 1 cell refused (first: Imp, Health \"Health\")."},
        {"Research\n", {{0, 69}}, {{kImp, 1, 4}}, "Paste: 1 value changed, 0 cells refused."},
        {"1\t2\n",
         {{0, 74}},
         {{kImp, 71, 1}},
         "Paste: 1 value changed, 1 cell refused (first: outside the grid \"2\")."},
        {"0123456789012345678901234567890123456789\xC3\xA9\n",
         {{0, 0}},
         {},
         "Paste: 0 values changed, 1 cell refused (first: Imp, Health "
         "\"0123456789012345678901234567890123456789\xE2\x80\xA6\")."},
    };
    const std::vector<int> picker = sortedKinds(factoryDefaults(), 5, SortOrder::Picker);
    for (const Case& c : cases) {
        const PasteOutcome outcome =
            applyPaste(factoryDefaults(), planPaste(readPaste(c.text).table, {picker, c.selected}));
        for (const auto& [kind, field, value] : c.values)
            EXPECT_EQ(outcome.values[recordOf(SlotRef::creature(kind, field)) - 1], value)
                << c.text << field;
        EXPECT_EQ(pasteSummary(outcome), c.status) << c.text;
    }
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
    // Fear: the Imp's 255 and the Dragon's 30; the Imp's Health of 75 at least 1.
    EXPECT_EQ(scaleSummary(200, applyScale(factoryDefaults(), {{kImp, 9}, {17, 9}}, 200)),
              "Scale 200 %: 1 value changed, 1 value held at a bound (first: Imp, Fear 510 held "
              "at 255).");
    EXPECT_EQ(scaleSummary(0, applyScale(factoryDefaults(), {{kImp, 5}}, 0)),
              "Scale 0 %: 1 value changed, 1 value held at a bound (first: Imp, Health 0 held at "
              "1).");
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
