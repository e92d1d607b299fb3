// KeeperFX's own reading of its files, through the whole read of a test install: each line
// form, load_order.cfg, and the mod names an apply takes.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/factory_defaults.h"
#include "core/test_support.h"
#include "keeperfx/install.h"
#include "keeperfx/places.h"

namespace tavrel::keeperfx {
namespace {

// The record of a slot's place; its index or its word.
int recordAt(std::string_view file, std::string_view section, std::string_view key, int index,
             std::string_view item = {}) {
    for (int record = 1; record <= kSlotCount; ++record) {
        const Place& p = placeOf(record);
        if (p.file == file && p.section == section && p.key == key && p.index == index &&
            p.item == item)
            return record;
    }
    ADD_FAILURE() << "no slot at " << file << " " << section << " " << key;
    return 1;
}

constexpr std::string_view kWizard = "creatrs/wizard.cfg", kTerrain = "fxdata/terrain.cfg";

struct Reading {
    std::string_view file, base, mod; // KeeperFX's file, then the mod's copy of it
    std::string_view section, key;
    int index;
    std::string_view item;
    std::int32_t value;
};

TEST(KeeperFxReading, ReadsEveryLineAsKeeperFxDoes) {
    const Reading cases[] = {
        {kWizard, "[attributes]\nHealth = 100 ; note\n", "", "attributes", "Health", -1, "", 100},
        {kWizard, "[attributes]\nHealth = 100;note\n", "", "attributes", "Health", -1, "", 100},
        {kWizard, "[attributes]\nHealth 128\n", "", "attributes", "Health", -1, "", 128},
        {kWizard, "[attributes]\nHealth == 129\n", "", "attributes", "Health", -1, "", 129},
        {kWizard, "[attributes]\nHealth = abc\n", "", "attributes", "Health", -1, "", 0},
        {kWizard, "[attributes]\nHealth = 1e3\n", "", "attributes", "Health", -1, "", 1},
        {kWizard, "[attributes]\nDefence = 7\n", "[attributes]\nDefence =\n", "attributes",
         "Defence", -1, "", 7},
        {kWizard, "[attributes]\rHealth = 5\rLuck = 6\r", "", "attributes", "Luck", -1, "", 6},
        {kWizard, "[attributes]\nLuck = 3\n", "[attributes]\nHealth = 5\n[oops\nLuck = 9\n",
         "attributes", "Luck", -1, "", 3},
        {kWizard, "[experience]\nLevelsTrainValues = 1 2 3\n",
         "[experience]\nLevelsTrainValues = 1111 ; x\n", "experience", "LevelsTrainValues", 0, "",
         1111},
        {kWizard, "[experience]\nLevelsTrainValues = 1 2 3\n",
         "[experience]\nLevelsTrainValues = 1111 ; x\n", "experience", "LevelsTrainValues", 2, "",
         0},
        {kWizard, "[experience]\nLevelsTrainValues = 1 2 3\n",
         "[experience]\nLevelsTrainValues = -5 700\n", "experience", "LevelsTrainValues", 0, "",
         700},
        {kWizard, "[experience]\nPowers = SWING_WEAPON_FIST FIREBALL\n",
         "[experience]\nPowers = FOO SWING_WEAPON_SWORD\n", "experience", "Powers", 0, "", 1},
        {kWizard, "[experience]\nPowers = SWING_WEAPON_FIST FIREBALL\n",
         "[experience]\nPowers = FOO SWING_WEAPON_SWORD\n", "experience", "Powers", 1, "", 5},
        {kWizard, "[attraction]\nEntranceRoom = TREASURE LAIR\n",
         "[attraction]\nEntranceRoom = FOO LAIR\n", "attraction", "EntranceRoom", 0, "", 14},
        {"creatrs/horny.cfg", "[attraction]\nEntranceRoom = TREASURE LAIR\n",
         "[attraction]\nEntranceRoom = FOO LAIR\n", "attraction", "EntranceRoom", 1, "", 0},
        {kWizard, "[attributes]\nSpellImmunity = WIND\n", "[attributes]\nSpellImmunity = WIND 0\n",
         "attributes", "SpellImmunity", -1, "WIND", 1},
        {kWizard, "[attributes]\nSpellImmunity = WIND\n", "[attributes]\nSpellImmunity = SLOW\n",
         "attributes", "SpellImmunity", -1, "WIND", 0},
        {kWizard, "", "[attributes]\nSpellImmunity = 1024\n", "attributes", "SpellImmunity", -1,
         "POISON_CLOUD", 1},
        {kWizard, "[attributes]\nSpellImmunity = 0\n",
         "[attributes]\nProperties = UNAFFECTED_BY_WIND\n", "attributes", "SpellImmunity", -1,
         "WIND", 0},
        {kWizard, "", "[attributes]\nProperties = BLEEDS IMMUNE_TO_GAS\n", "attributes",
         "SpellImmunity", -1, "POISON_CLOUD", 1},
        {kWizard, "[attributes]\nAttackPreference = RANGED\n",
         "[attributes]\nAttackPreference = NULL\n", "attributes", "AttackPreference", -1, "", 2},
        {kWizard, "", "[attributes]\nFearWounded = 150\n", "attributes", "FearWounded", -1, "",
         255},
        {kTerrain, "[room2]\nCost = 50\n", "[ROOM2]\nCost = 60\n", "room2", "Cost", -1, "", 50},
        {kTerrain, "[room2]\nCost = 50\n", "[room02]\nCost = 60\n", "room2", "Cost", -1, "", 60},
        {kTerrain, "[room2]\nCost = 50\n", "[room2]\nCost = +79\n", "room2", "Cost", -1, "", 0},
        {kTerrain, "[room2]\nCost = 50\n", "[room2]\nCost = 82;x\n", "room2", "Cost", -1, "", 0},
        {"fxdata/rules.cfg", "[game]\nPayDayGap = 10\n", "[game]\nPayDayGap = +5\n", "game",
         "PayDayGap", -1, "", 0},
        {"fxdata/rules.cfg", "", "[research]\nResearch = MAGIC POWER_IMP 900;x\n", "research",
         "Research", -1, "MAGIC POWER_IMP", 900},
        {"fxdata/magic.cfg", "[spell3]\nDuration = 1\n[spell3]\nDuration = 2\n", "", "spell3",
         "Duration", -1, "", 2},
        {kTerrain, "[room2]\nCost = 1\n[room2]\nCost = 2\n", "", "room2", "Cost", -1, "", 1},
        {kWizard, "[attributes]\nHealth = 1\n[attributes]\nHealth = 2\n", "", "attributes",
         "Health", -1, "", 1},
    };
    test::TempDir game;
    test::makeKeeperFxInstall(game.path());
    for (const Reading& c : cases) {
        SCOPED_TRACE(std::string(c.base) + " then " + std::string(c.mod));
        test::writeBytes(game.file(c.file), c.base);
        test::writeBytes(game.file("mods/base/" + std::string(c.file)), c.mod);
        const RulesRead read = readRules(game.path());
        ASSERT_TRUE(read.ok) << read.message;
        const int record = recordAt(c.file, c.section, c.key, c.index, c.item);
        EXPECT_EQ(read.values[static_cast<std::size_t>(record - 1)], c.value);
    }
}

struct Order {
    std::string text;
    std::vector<std::string> mods; // read, in order; each has its folder
};

TEST(KeeperFxReading, ReadsLoadOrderAsKeeperFxDoes) {
    std::string fifty;
    std::vector<std::string> firstFifty;
    for (int i = 1; i <= 52; ++i) {
        fifty += "m" + std::to_string(i) + "\n";
        if (i <= 50)
            firstFifty.push_back("m" + std::to_string(i));
    }
    const std::string longName(70, 'n'), cut(63, 'n');
    const std::string header = "[after_base]\nm1\n;";
    const Order cases[] = {
        {"[after_base]\nm1\n[after_base]\nm2\n", {"m1"}},
        {"[after_base] ; mine\nm1\n", {"m1"}},
        {"[ After_Base ]x\n  my mod \t\nmod#1!\n", {"my mod", "mod#1!"}},
        {"[after_base]\n; m1\n\nm2\n[oops\nm3\n", {"m2"}},
        {"[after_base]\rm1\rm2\r", {"m1", "m2"}},
        {"[after_base]\n" + fifty, firstFifty},
        {"[after_base]\n" + longName + "\n", {cut}},
        {header + std::string(65536 - header.size(), 'x'), {"m1"}},
        {header + std::string(65537 - header.size(), 'x'), {}},
        {"[after_base]\n../escape\nm1/../../escape\nm1\n", {"m1"}},
    };
    test::TempDir game;
    test::makeKeeperFxInstall(game.path());
    test::makeFolders(game.file("escape"));
    for (const Order& c : cases) {
        SCOPED_TRACE(c.text.substr(0, 80));
        for (const std::string& mod : c.mods)
            test::makeFolders(game.file("mods/" + mod));
        test::writeBytes(game.file("mods/load_order.cfg"), c.text);
        const RulesRead read = readRules(game.path());
        ASSERT_TRUE(read.ok) << read.message;
        EXPECT_EQ(read.mods, c.mods);
    }
}

TEST(KeeperFxReading, TakesOnlyModNamesKeeperFxLoadsAndBothSystemsHold) {
    const std::pair<std::string, bool> names[] = {
        {"tavrel", true},
        {"my mod", true},
        {"mod#1!.v2", true},
        {std::string(63, 'a'), true},
        {std::string(64, 'a'), false},
        {"", false},
        {" a", false},
        {"a ", false},
        {"a.", false},
        {".a", false},
        {"..", false},
        {";a", false},
        {"[a", false},
        {"a/b", false},
        {"a\\b", false},
        {"a:b", false},
        {"a*b", false},
        {"a?b", false},
        {"a\"b", false},
        {"a<b", false},
        {"a|b", false},
        {"a\tb", false},
        {"a\x7f", false},
        {"caf\xc3\xa9", false},
    };
    for (const auto& [name, valid] : names)
        EXPECT_EQ(isValidModName(name), valid) << name;
    // An apply that KeeperFX would not load, as the 51st mod of its block, is refused.
    test::TempDir game;
    test::makeKeeperFxInstall(game.path());
    std::string order = "[after_base]\n";
    for (int i = 1; i <= 50; ++i)
        order += "m" + std::to_string(i) + "\n";
    test::writeBytes(game.file("mods/load_order.cfg"), order);
    ApplyOptions underCampaigns;
    underCampaigns.scope = ApplyScope::UnderCampaigns;
    const ModApply applied = applyMod(game.path(), factoryDefaults(), underCampaigns);
    EXPECT_FALSE(applied.ok);
    EXPECT_NE(applied.message.find("no more than 50 mods of a block"), std::string::npos);
    EXPECT_EQ(test::readBytes(game.file("mods/load_order.cfg")), order);
}

} // namespace
} // namespace tavrel::keeperfx
