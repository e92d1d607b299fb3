// KeeperFX's config files: the parser on odd text, the words of every encoding both ways,
// KeeperFX's stacking rules, load_order.cfg, and the mod written into test installs made
// from the factory values plus a few hand-written KeeperFX lines.

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <random>

#include "core/bounds.h"
#include "core/factory_defaults.h"
#include "core/test_support.h"
#include "keeperfx/encoding.h"
#include "keeperfx/install.h"
#include "keeperfx/limits.h"
#include "keeperfx/stacking.h"

namespace tavrel::keeperfx {
namespace {

using W = std::vector<std::string>;

StackedFile stacked(std::initializer_list<std::string_view> texts) {
    StackedFile file;
    for (std::string_view text : texts)
        file.stack(parseConfig(text));
    return file;
}

struct Lookup {
    std::string text; // owned: one case is a temporary with a NUL inside
    std::string_view section, key;
    std::optional<W> words; // nullopt: no such key
};

TEST(KeeperFxConfig, ParsesOddAndHostileText) {
    using namespace std::string_literals;
    const Lookup cases[] = {
        {"[Attributes]\r\nhealth = 5\r\n", "attributes", "Health", W{"5"}},
        {"Health = 5\n[a]\n", "a", "Health", std::nullopt},     // before any block
        {"[a]\n; Health = 5\n", "a", "Health", std::nullopt},   // a comment line
        {"[a]\n  ;x\n K=1 2\t3  ", "a", "k", W{"1", "2", "3"}}, // no line end, tabs
        {"[a]\nHealth 5\n", "a", "Health", W{"5"}},             // no '='
        {"[a\nHealth = 5\n", "a", "Health", std::nullopt},      // no block begins
        {"[a]\nK = 1\n[A]\nK = 2\n", "a", "K", W{"1"}},         // the first block only
        {"[a]\nK = 1\nK = 2\n", "a", "K", W{"2"}},              // the last line of a key
        {"[a]\nSecondaryJobs =\n", "a", "SecondaryJobs", W{}},
        {"[a]\rK = 1\r", "a", "K", W{"1"}}, // CR alone ends a line
        {"[a]\nK = x=y\n", "a", "K", W{"x=y"}},
        {"[a]\n= 7\n", "a", "", std::nullopt},
        {"[a]\nK = \0\xff\n"s, "a", "K", W{"\xff"}},
        {"[a]\nK = 1\0 2\n"s, "a", "K", W{"1"}},
        {"", "a", "K", std::nullopt},
    };
    for (const Lookup& c : cases) {
        SCOPED_TRACE(c.text);
        const StackedFile file = stacked({c.text});
        const W* words = file.find(c.section, c.key);
        EXPECT_EQ(words ? std::optional<W>(*words) : std::nullopt, c.words);
    }
}

Place place(Encoding encoding, std::string_view item = {}, int index = -1) {
    return {"creatrs/wizard.cfg", "attributes", "K", item, index, encoding, {}, false};
}

struct Coding {
    Place place;
    std::int32_t value;
    W before, after; // the key's words before and after the value is put in
};

TEST(KeeperFxConfig, EncodesEveryKindOfValueBothWays) {
    const Coding cases[] = {
        {place(Encoding::Number), 350, {"20"}, {"350"}},
        {place(Encoding::Number), -3, {}, {"-3"}},
        {place(Encoding::FearPercent), 32, {"1"}, {"13"}},
        {place(Encoding::FearPercent), 30, {"1"}, {"12"}},
        {place(Encoding::FearPercent), 0, {"1"}, {"0"}},
        {place(Encoding::FearPercent), 253, {"1"}, {"99"}},
        {place(Encoding::FearPercent), 255, {"1"}, {"101"}},
        {place(Encoding::JobNames), 4, {}, {"RESEARCH"}},
        {place(Encoding::JobNames), 0, {"NULL", "DIG"}, {}},
        {place(Encoding::JobNames), 16384 + 1, {"SLEEP", "DIG"}, {"SLEEP", "TUNNEL", "EXPLORE"}},
        {place(Encoding::AngerJobNames), 4 + 128, {}, {"LEAVE_DUNGEON", "JOIN_ENEMY"}},
        {place(Encoding::InstanceName, {}, 1),
         5,
         {"SWING_WEAPON_FIST"},
         {"SWING_WEAPON_FIST", "FIREBALL"}},
        {placeOf(41), 40, {}, {"NULL", "NULL", "LIZARD"}}, // Wizard Power 3
        {place(Encoding::CreatureName), 21, {}, {"SORCEROR"}},
        {place(Encoding::CreatureName), 0, {"ORC"}, {"NULL"}},
        {place(Encoding::RoomName), 13, {}, {"GARDEN"}},
        {place(Encoding::AttackPreference), 1, {}, {"MELEE"}},
        {place(Encoding::WordPresent, "SEE_INVISIBLE"), 1, {"BLEEDS"}, {"BLEEDS", "SEE_INVISIBLE"}},
        {place(Encoding::WordPresent, "SEE_INVISIBLE"), 0, {"see_invisible", "X"}, {"X"}},
        {place(Encoding::WordAbsent, "WIND"), 1, {"0", "WIND", "CHICKEN"}, {"0", "CHICKEN"}},
        {place(Encoding::WordAbsent, "WIND"), 0, {"0"}, {"0", "WIND"}},
        {place(Encoding::ResearchAmount, "MAGIC POWER_IMP"),
         900,
         {"MAGIC", "POWER_IMP", "1000"},
         {"MAGIC", "POWER_IMP", "900"}},
    };
    for (const Coding& c : cases) {
        SCOPED_TRACE(std::to_string(static_cast<int>(c.place.encoding)) + " " +
                     std::to_string(c.value));
        EXPECT_TRUE(encodable(c.place, c.value));
        W words = c.before;
        encodeSlot(c.place, c.value, words);
        EXPECT_EQ(words, c.after);
        EXPECT_EQ(decodeSlot(c.place, words), c.value);
    }
    // Words that give the value already stay as they are; a percentage no Fear gives is none.
    W leading{"+0350"};
    encodeSlot(place(Encoding::Number), 350, leading);
    EXPECT_EQ(leading, W{"+0350"});
    EXPECT_EQ(decodeSlot(place(Encoding::FearPercent), {"100"}), std::nullopt);
    for (const auto& [p, v] : {std::pair{place(Encoding::InstanceName), 41},
                               {place(Encoding::JobNames), 32768},
                               {place(Encoding::AngerJobNames), 256},
                               {place(Encoding::WordPresent, "X"), 2},
                               {place(Encoding::FearPercent), 256},
                               {place(Encoding::RoomName), -1}})
        EXPECT_FALSE(encodable(p, v)) << v;
}

struct Stacking {
    std::string_view base, mod, section, key;
    W words;
};

TEST(KeeperFxConfig, StacksLaterFilesByKeeperFxRules) {
    const Stacking cases[] = {
        {"[a]\nHealth = 5\nLuck = 2\n", "[A]\nLUCK = 3\n", "a", "Health", {"5"}},
        {"[a]\nProperties = BLEEDS SEE_INVISIBLE\n",
         "[a]\nProperties = BLEEDS\n",
         "a",
         "Properties",
         {"BLEEDS"}},
        {"[a]\nSpellImmunity = POISON_CLOUD WIND FREEZE\n",
         "[a]\nSpellImmunity = SLOW\n",
         "a",
         "SpellImmunity",
         {"SLOW", "POISON_CLOUD", "WIND"}},
        {"[a]\nPowers = A B C\n", "[a]\nPowers = 7 X\n", "a", "Powers", {"X", "B", "C"}},
        {"[a]\nSpellImmunity = POISON_CLOUD WIND\n",
         "[a]\nSpellImmunity = 0 SLOW\n",
         "a",
         "SpellImmunity",
         {"SLOW"}},
        {"[a]\nPowers = A B C\n", "[a]\nPowers = X\n", "a", "Powers", {"X", "B", "C"}},
        {"[a]\nGrowUp = 0 NULL 0\n", "[a]\nGrowUp = 9 ORC\n", "a", "GrowUp", {"9", "ORC", "0"}},
        {"[power5]\nCost = 1 2 3\n", "[power5]\ncost = 7\n", "power5", "Cost", {"7", "2", "3"}},
        {"[power5]\nPower = 1 2 3 4 5 6 7 8 9 10\n",
         "[power5]\nPower = 1 2 3 4 5 6 7 8 99\n",
         "power5",
         "Power",
         {"1", "2", "3", "4", "5", "6", "7", "8", "99", "99"}},
        {"[power5]\nPower = 1 2 3 4 5 6 7 8 9 10\n",
         "[power5]\nPower = 5\n",
         "power5",
         "Power",
         {"5", "2", "3", "4", "5", "6", "7", "8", "9", "10"}},
        {"[shot1]\nCost = 1 2 3\n", "[shot1]\nCost = 7\n", "shot1", "Cost", {"7"}},
    };
    for (const Stacking& c : cases) {
        SCOPED_TRACE(std::string(c.mod));
        const StackedFile file = stacked({c.base, c.mod});
        ASSERT_TRUE(file.find(c.section, c.key));
        EXPECT_EQ(*file.find(c.section, c.key), c.words);
    }
    // Any [research] block replaces the whole list.
    const StackedFile research = stacked({"[research]\nResearch = ROOM A 1\nResearch = ROOM B 2\n",
                                          "[research]\nResearch = ROOM B 5\n"});
    EXPECT_EQ(*research.research(), (std::vector<W>{{"ROOM", "B", "5"}}));
}

TEST(KeeperFxConfig, LoadOrderKeepsEveryOtherLine) {
    const std::pair<std::string_view, std::string_view> cases[] = {
        {"", "[after_base]\r\ntavrel\r\n"},
        {"; mine\n[after_base]\nmodA\n; off\n[after_campaign]\nmodB\n",
         "; mine\n[after_base]\nmodA\ntavrel\n; off\n[after_campaign]\nmodB\n"},
        {"[AFTER_BASE]\r\nTavrel\r\nmodA\r\n", "[AFTER_BASE]\r\nmodA\r\ntavrel\r\n"},
        {"[after_base]\nmodA\ntavrel\n", "[after_base]\nmodA\ntavrel\n"},
        {"[after_map]\nx", "[after_map]\nx\n[after_base]\ntavrel\n"},
        {"[after_base]\n\n[after_map]\ntavrel\n", "[after_base]\ntavrel\n\n[after_map]\n"},
        // KeeperFX skips control characters before an entry: that line loads the mod too.
        {"[after_map]\n\x05tavrel\n", "[after_map]\n[after_base]\ntavrel\n"},
        {"\xEF\xBB\xBF[after_base]\r\nmodA\r\n", "[after_base]\r\nmodA\r\ntavrel\r\n"},
        {"\xEF\xBB\xBF\xEF\xBB\xBF[after_base]\nmodA\n", "[after_base]\nmodA\ntavrel\n"},
        {"[after_base]\rmodA\r[after_map]\rx", "[after_base]\rmodA\rtavrel\r[after_map]\rx"},
        {"; a\r[after_base]\nmodA\ntavrel\n\n", "; a\r[after_base]\nmodA\ntavrel\r\n\n"},
        {"; a\r[after_base]\rmodA\rtavrel\n\nx", "; a\r[after_base]\rmodA\r\n\nx\rtavrel\r"},
        {"[ After_Base ] ; mine\nmodA\n[after_base]\ntavrel\n",
         "[ After_Base ] ; mine\nmodA\ntavrel\n[after_base]\ntavrel\n"},
    };
    for (const auto& [before, after] : cases) {
        EXPECT_EQ(withModLast(before, "tavrel"), after);
        EXPECT_EQ(withModLast(after, "tavrel"), after); // enabling again changes nothing
        const std::vector<std::string> mods = afterBaseMods(after);
        ASSERT_FALSE(mods.empty()) << after;
        EXPECT_EQ(mods.back(), "tavrel");
    }
    // As KeeperFX reads them: CR alone ends a line, a byte-order mark hides the header it
    // stands before, and only the first block of a name counts.
    const std::pair<std::string_view, std::vector<std::string>> reads[] = {
        {"[after_base]\rmodA\r\rmodB", {"modA", "modB"}},
        {"\xEF\xBB\xBF[after_base]\r\nmodA\r\n", {}},
        {"[after_base]\nmodA\n[after_map]\nx\n[after_base]\nmodB\n", {"modA"}},
    };
    for (const auto& [text, mods] : reads)
        EXPECT_EQ(afterBaseMods(text), mods) << text;
}

std::map<std::string, std::string> snapshot(const std::string& root) {
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root))
        files[std::filesystem::relative(entry.path(), root).generic_string()] =
            entry.is_regular_file() ? test::readBytes(entry.path().string()) : "/";
    return files;
}

// Random values each slot can take, with a fixed seed.
ValueSet randomValues(unsigned seed) {
    std::mt19937 random(seed);
    ValueSet values = factoryDefaults();
    for (int record = 1; record <= kSlotCount; ++record) {
        const Place& p = placeOf(record);
        const ValueBounds bounds = boundsOf(slotOfRecord(record));
        const std::int32_t upper =
            p.encoding == Encoding::Number || p.encoding == Encoding::ResearchAmount
                ? bounds.upper
                : std::min(bounds.upper, 32767);
        std::uniform_int_distribution<std::int32_t> pick(bounds.lower, upper);
        auto& v = values[static_cast<std::size_t>(record - 1)];
        do
            v = pick(random);
        while (p.encoding != Encoding::None && (!encodable(p, v) || !fitsKeeperFx(p, v)));
    }
    return values;
}

TEST(KeeperFxInstall, ApplyThenReadGivesBackEveryValue) {
    test::TempDir game;
    test::makeKeeperFxInstall(game.path());
    const ValueSet values = randomValues(21);
    const ModApply applied = applyMod(game.path(), values);
    ASSERT_TRUE(applied.ok) << applied.message;
    EXPECT_EQ(applied.filesWritten, 36);
    const RulesRead read = readRules(game.path());
    ASSERT_TRUE(read.ok) << read.message;
    EXPECT_EQ(read.mods, (std::vector<std::string>{"base", "tavrel"}));
    EXPECT_TRUE(read.unread.empty());
    for (int record = 1; record <= kSlotCount; ++record) {
        const auto i = static_cast<std::size_t>(record - 1);
        const Encoding encoding = placeOf(record).encoding;
        if (encoding == Encoding::FearPercent)
            EXPECT_EQ(fearPercent(read.values[i]), fearPercent(values[i])) << record;
        else
            EXPECT_EQ(read.values[i], encoding == Encoding::None ? factoryDefaults()[i] : values[i])
                << record;
    }
    // What the editor does not own keeps its value and place.
    const std::string wizard = test::readBytes(game.file("mods/tavrel/creatrs/wizard.cfg"));
    EXPECT_NE(wizard.find("Properties = BLEEDS HUMANOID_SKELETON"), std::string::npos);
    EXPECT_NE(wizard.find("PrimaryJobs = SLEEP"), std::string::npos);
    EXPECT_NE(wizard.find("SpellImmunity = 0 "), std::string::npos);
    const std::string rules = test::readBytes(game.file("mods/tavrel/fxdata/rules.cfg"));
    EXPECT_NE(
        rules.find("[research]\r\nResearch = MAGIC POWER_HAND 0\r\nResearch = ROOM TREASURE "),
        std::string::npos);
    EXPECT_NE(rules.find("Research = MAGIC POWER_TIME_BOMB 3\r\n"), std::string::npos);
    const std::string ninth = " " + std::to_string(values[2310 - 1]);
    EXPECT_NE(test::readBytes(game.file("mods/tavrel/fxdata/magic.cfg")).find(ninth + ninth),
              std::string::npos);
    EXPECT_NE(applied.status().find("SPELL_FREEZE Duration has no effect"), std::string::npos);
    EXPECT_NE(applied.status().find("GAME_DOOR_OPEN_FOR has no equivalent"), std::string::npos);
}

TEST(KeeperFxInstall, ApplyOfWhatWasReadWritesNoConfigFile) {
    test::TempDir game;
    test::makeKeeperFxInstall(game.path());
    ASSERT_TRUE(applyMod(game.path(), randomValues(4)).ok); // an older mod, replaced whole
    const RulesRead read = readRules(game.path());
    ASSERT_TRUE(applyMod(game.path(), factoryDefaults(), "base").ok); // the mod below it changes
    // The wizard's first power becomes an instance KeeperFX has and the game does not.
    const std::string wizardFile = game.file("mods/base/creatrs/wizard.cfg");
    std::string wizard = test::readBytes(wizardFile);
    const std::size_t powers = wizard.find("\nPowers = ") + 10;
    wizard.replace(powers, wizard.find(' ', powers) - powers, "FAMILIAR");
    test::writeBytes(wizardFile, wizard);
    test::writeBytes(game.file("fxdata/creature.cfg"), "[instance41]\nName = FAMILIAR\n");
    const RulesRead base = readRules(game.path());
    EXPECT_EQ(base.unread, std::vector<int>{39});
    const ModApply again = applyMod(game.path(), base.values);
    ASSERT_TRUE(again.ok) << again.message;
    EXPECT_EQ(again.filesWritten, 0);
    EXPECT_EQ(again.valuesWritten, 0);
    EXPECT_NE(again.status().find(" 1 value keeps its KeeperFX words, which have no editor "
                                  "equivalent, as the editor holds the factory value there."),
              std::string::npos);
    EXPECT_EQ(test::listFolder(game.file("mods/tavrel")),
              std::vector<std::string>{"written_by_tavrel.txt"});
    EXPECT_EQ(test::readBytes(game.file("mods/load_order.cfg")),
              "; players' own\r\n[after_base]\r\n\r\n[after_campaign]\r\nother\r\nbase\r\n"
              "tavrel\r\n");
    EXPECT_NE(read.values, base.values);
}

ValueSet withChanged(std::initializer_list<std::pair<int, std::int32_t>> changes) {
    ValueSet values = factoryDefaults();
    for (const auto& [record, value] : changes)
        values[static_cast<std::size_t>(record - 1)] = value;
    return values;
}

TEST(KeeperFxInstall, FailureAnywhereLeavesTheOldModAndLoadOrder) {
    namespace fault = fileio::testing;
    test::TempDir game;
    test::makeKeeperFxInstall(game.path());
    // The old mod changes the Wizard's health; the new one its luck and an amount of research.
    const ValueSet old = withChanged({{5, 400}}), values = withChanged({{11, 9}, {2500, 77}});
    // The old mod stands first, so the new one also has to move it last in load_order.cfg.
    auto prepare = [&] {
        ASSERT_TRUE(applyMod(game.path(), old).ok);
        test::writeBytes(game.file("mods/load_order.cfg"), "[after_base]\r\ntavrel\r\nbase\r\n");
    };
    prepare();
    const auto before = snapshot(game.path());
    fault::setFaultPlan(std::nullopt);
    ASSERT_TRUE(applyMod(game.path(), values).ok);
    const auto after = snapshot(game.path());
    const std::vector<fault::Op> ops = fault::operations();
    ASSERT_EQ(std::count(ops.begin(), ops.end(), fault::Op::MoveEntry), 2);
    // Two files, the mark of the editor's mods, the order.
    ASSERT_EQ(std::count(ops.begin(), ops.end(), fault::Op::Rename), 4);
    prepare();
    for (int n = 1; n <= static_cast<int>(ops.size()); ++n) {
        SCOPED_TRACE("operation " + std::to_string(n) + ": " +
                     test::expectedStep(ops[static_cast<std::size_t>(n - 1)]));
        fault::setFaultPlan(fault::FaultPlan{n, EIO});
        const ModApply result = applyMod(game.path(), values);
        fault::setFaultPlan(std::nullopt);
        auto now = snapshot(game.path());
        // Only removing the old copy comes after the new mod is in place.
        if (result.ok && n == static_cast<int>(ops.size())) {
            EXPECT_NE(result.status().find("previous copy"), std::string::npos);
            std::erase_if(now, [](const auto& file) {
                return file.first.starts_with("mods/.tavrel.tavrel-old");
            });
        }
        EXPECT_EQ(now, result.ok ? after : before) << result.message;
        if (!result.ok) {
            EXPECT_NE(result.message.find("KeeperFX's files have not been changed."),
                      std::string::npos);
        } else {
            prepare();
        }
    }
}

} // namespace
} // namespace tavrel::keeperfx
