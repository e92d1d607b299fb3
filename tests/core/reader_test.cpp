#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

#include "core/factory_defaults.h"
#include "core/test_support.h"
#include "gamefile/game_paths.h"
#include "gamefile/reader.h"
#include "gamefile/writer.h"

namespace tavrel {
namespace {

std::size_t indexOf(SlotRef ref) {
    return static_cast<std::size_t>(recordOf(ref) - 1);
}

const std::string& factoryFile() {
    static const std::string file = renderGameFile(factoryDefaults());
    return file;
}

// Replaces the text of the row `id` (up to its line end) in a rendered file.
std::string withRow(std::string file, std::string_view id, std::string_view row) {
    const auto start = file.find("\r\n" + std::string(id) + "\t") + 2;
    const auto end = file.find("\r\n", start);
    return file.replace(start, end - start, row);
}

TEST(GameFileReader, CountsOnlyRunsThatEndBeforeTheEndOfTheFile) {
    const std::pair<std::string_view, int> cases[] = {
        {"", 0},        {"12", 0},         {"12\t", 1},    {"-12 ", 1},    {"a1b22c333", 2},
        {"007\r\n", 1}, {"1\3772\200", 2}, {"1(2)3_4", 3}, {"\t\t\r\n", 0}};
    for (const auto& [bytes, count] : cases)
        EXPECT_EQ(countNumbers(bytes), count) << bytes;
}

TEST(GameFileReader, RefusesAnyOtherNumberCountWithoutTouchingTheStore) {
    const std::string good = factoryFile();
    const std::pair<std::string, int> cases[] = {
        {good + "1\r\n", 5201},                            // one number more
        {good.substr(0, good.rfind('\t')) + "\r\n", 5199}, // the last value removed
        {good.substr(0, good.size() - 2), 5199},           // last byte a digit: not counted
        {good.substr(0, good.size() - 2) + "x", 5200}};    // ... one byte more completes it
    test::TempDir dir;
    for (const auto& [file, count] : cases) {
        test::makeGameFolder(dir.path(), file);
        SettingsStore store;
        const GameReadResult result = readGame(dir.path(), store);
        EXPECT_EQ(result.numberCount, count);
        EXPECT_EQ(result.status, count == 5200 ? ReadStatus::Accepted : ReadStatus::Rejected);
        EXPECT_EQ(store.values() == ValueSet{}, count != 5200) << count;
    }
}

TEST(GameFileReader, ReadsDigitsAsTheyStand) {
    const std::pair<std::string_view, std::int32_t> cases[] = {
        {"007", 7}, {"-12", 12}, {"00000000000000000042", 42}, {"2147483647", 2147483647}};
    for (const auto& [text, value] : cases) {
        const GameFileRead read =
            parseGameFile(withRow(factoryFile(), "RESEARCH_MAGIC_CREATE_IMP",
                                  "RESEARCH_MAGIC_CREATE_IMP\t2\t" + std::string(text)),
                          factoryDefaults());
        ASSERT_EQ(read.status, ReadStatus::Accepted) << text;
        EXPECT_EQ(read.values[indexOf(SlotRef::of(Category::Research, 1))], value) << text;
    }
}

TEST(GameFileReader, RepairsYesNoFlagsAboveOne) {
    ValueSet values = factoryDefaults();
    struct Case {
        int kind, field, written, expected;
    } cases[] = {
        {25, 72, 5, 1}, // Vampire can see invisible: its default
        {1, 72, 5, 0},  // Wizard cannot: its default
        {1, 37, 0, 0},  // 0 and 1 stay as they are, even against the default
        {2, 37, 1, 1},  {28, 73, 7, 1},   {22, 75, 2, 0},
        {23, 75, 0, 0}, {3, 5, 900, 900}, // other fields are not flags
    };
    for (const auto& c : cases)
        values[indexOf(SlotRef::creature(c.kind, c.field))] = c.written;
    const GameFileRead read = parseGameFile(renderGameFile(values), factoryDefaults());
    ASSERT_EQ(read.status, ReadStatus::Accepted);
    for (const auto& c : cases)
        EXPECT_EQ(read.values[indexOf(SlotRef::creature(c.kind, c.field))], c.expected)
            << "kind " << c.kind << " field " << c.field;
}

TEST(GameFileReader, TakesAbilitySlot3FromTheFirstPersonDigCopy) {
    std::string file = factoryFile();
    file = withRow(file, "INSTANCE_DIG", "INSTANCE_DIG\t30\t8\t4\t61\t4\t2\t62\t0");
    file = withRow(file, "INSTANCE_FIRST_PERSON_DIG",
                   "INSTANCE_FIRST_PERSON_DIG\t39\t8\t4\t63\t4\t2\t64\t1");
    const GameFileRead read = parseGameFile(file, factoryDefaults());
    ASSERT_EQ(read.status, ReadStatus::Accepted);
    EXPECT_EQ(read.values[indexOf(SlotRef::of(Category::Ability, 2))], 61);
    EXPECT_EQ(read.values[indexOf(SlotRef::of(Category::Ability, 3))], 64);
}

// Whatever the editor writes, it reads back as written (yes/no flags being 0 or 1), and the files
// are found whatever their letter case.
TEST(GameFileReader, ReadsBackWhatTheWriterWroteAndReportsTheAddOn) {
    for (unsigned seed : {0u, 1u, 2u, 3u}) {
        const bool addon = seed % 2 == 1;
        ValueSet values = seed ? test::variedValues(seed) : ValueSet{};
        for (int kind = 1; kind <= kCreatureKinds; ++kind)
            for (int field : {37, 72, 73, 75})
                values[indexOf(SlotRef::creature(kind, field))] %= 2;
        test::TempDir dir;
        test::makeFolders(dir.file("DATA"));
        test::writeBytes(dir.file(addon ? "DATA/creature.txt" : "DATA/CREATURE.TXT"),
                         renderGameFile(values));
        if (addon)
            test::writeBytes(dir.file("DATA/Dd1Creat.txt"), renderGameFile(values));
        SettingsStore store;
        const GameReadResult result = readGame(dir.path(), store);
        ASSERT_EQ(result.status, ReadStatus::Accepted) << seed;
        EXPECT_EQ(result.addonPresent, addon);
        EXPECT_TRUE(store.values() == values) << seed;
        EXPECT_EQ(foundText(addon), addon ? "Dungeon Keeper and the Deeper Dungeons found."
                                          : "Dungeon Keeper found.");
    }
}

TEST(GameFileReader, MissingOrUnreadableFileFailsWithItsErrorNumber) {
    test::TempDir dir;
    SettingsStore store;
    EXPECT_EQ(readGame(dir.path(), store).errorNumber, 76); // no Data folder
    test::makeFolders(dir.file("Data"));
    EXPECT_EQ(readGame(dir.path(), store).errorNumber, 53); // no such file
    test::makeFolders(dir.file("Data/CREATURE.TXT"));       // a folder where the file should be
    EXPECT_EQ(readGame(dir.path(), store).status, ReadStatus::Failed);
    EXPECT_EQ(locationText("e:/games/dk"), "E:/games/dk");
    EXPECT_EQ(locationText(""), "");
}

} // namespace
} // namespace tavrel
