// KeeperFX's limits: what it plays beyond its fields, what an apply refuses, the bounds of
// editing its values, the powers' tenth level, and what the original game cannot take.

#include <gtest/gtest.h>

#include <filesystem>

#include "core/bounds.h"
#include "core/catalogue.h"
#include "core/factory_defaults.h"
#include "core/test_support.h"
#include "editing/stepping.h"
#include "editing/typed_input.h"
#include "gamefile/writer.h"
#include "keeperfx/install.h"

namespace tavrel::keeperfx {
namespace {

ValueSet withValue(int record, std::int32_t value) {
    ValueSet values = factoryDefaults();
    values[static_cast<std::size_t>(record - 1)] = value;
    return values;
}

// A hand-written mod over the test install, read after its "base".
void addHandMod(const test::TempDir& game, std::string_view file, std::string_view text) {
    test::makeFolders(game.file("mods/hand/" + std::string(file.substr(0, file.find('/')))));
    const std::string path = game.file("mods/hand/" + std::string(file));
    test::writeBytes(path, std::filesystem::exists(path) ? test::readBytes(path) + std::string(text)
                                                         : std::string(text));
    test::writeBytes(game.file("mods/load_order.cfg"), "[after_base]\r\nbase\r\nhand\r\n");
}

struct LimitCase {
    int record;
    std::string_view file, line; // the hand mod's line, in its section
    std::int32_t read, edited;   // what reading gives; what the editor then applies
    std::string_view name;       // the slot's name in a refusal
    std::int32_t most, back;     // KeeperFX's limit when it refuses, else what reads back
};

TEST(KeeperFxLimits, ReadAsPlayedAndNothingWrittenThatKeeperFxWouldWrapOrHold) {
    constexpr std::string_view imp = "creatrs/imp.cfg", rules = "fxdata/rules.cfg";
    const LimitCase cases[] = {
        {1710, imp, "[attributes]\nPay = 40000\n", -25536, 40000, "Imp Pay", 32767, 0},
        {1657, imp, "Armour = -1\n", 255, 256, "Imp Armour", 255, 0},
        {1663, imp, "HungerRate = 70000\n", 4464, 65535, "", 0, 65535},
        {1656, imp, "Strength = 3000\n", 3000, 65535, "", 0, 65535},
        {1655, imp, "Health = 100000\n", 100000, 2000000, "", 0, 2000000},
        {1673, imp, "GoldHold = 32768\n", -32768, 32767, "", 0, 32767},
        {2252, "fxdata/terrain.cfg", "[room2]\nCost = 40000\n", 32767, 32768,
         "ROOM_TREASURE_ROOM Cost", 32767, 0},
        {2566, "fxdata/magic.cfg", "[shot23]\nDamage = -40000\n", -32768, 40000, "SHOT_DIG Damage",
         32767, 0},
        {2666, rules, "[rooms]\nBodiesForVampire = 300\n", 255, 300,
         "GAME_BODIES_FOR_VAMPIRE Value", 255, 0},
        // The original game's own value plays as 255, as the files say: nothing to write.
        {2665, rules, "[magic]\nDiseaseLoseHealthTime = 400\n", 255, 400, "", 0, 255},
        {2665, "", "", 255, 256, "GAME_DISEASE_LOSE_HEALTH_TIME Value", 255, 0},
    };
    test::TempDir game;
    test::makeKeeperFxInstall(game.path());
    for (const LimitCase& c : cases)
        if (!c.file.empty())
            addHandMod(game, c.file, c.line);
    const RulesRead read = readRules(game.path());
    ASSERT_TRUE(read.ok) << read.message;
    for (const LimitCase& c : cases) {
        SCOPED_TRACE(c.record);
        EXPECT_EQ(read.values[static_cast<std::size_t>(c.record - 1)], c.read);
        const ModApply applied = applyMod(game.path(), withValue(c.record, c.edited));
        ASSERT_EQ(applied.ok, c.most == 0);
        if (!applied.ok) {
            const std::string message =
                "The value " + std::to_string(c.edited) + " of " + std::string(c.name) +
                " is more than KeeperFX can hold there (at most " + std::to_string(c.most) +
                "). KeeperFX's files have not been changed.";
            EXPECT_EQ(applied.message, message);
            EXPECT_EQ(refusedModValueMessage(*applied.refusedSlot, c.edited, c.name), message);
            continue;
        }
        EXPECT_EQ(readRules(game.path()).values[static_cast<std::size_t>(c.record - 1)], c.back);
    }
    // No word of KeeperFX gives an Attack Preference of 0.
    EXPECT_EQ(applyMod(game.path(), withValue(1688, 0)).message,
              "The value 0 of Imp Attack Preference has no equivalent in KeeperFX's files. "
              "KeeperFX's files have not been changed.");
}

// The game's DiseaseLoseHealthTime of 400 goes in as the 255 KeeperFX plays for it; the tenth
// level of a power follows an edited ninth and stays as KeeperFX has it otherwise.
TEST(KeeperFxLimits, TheFactoryDiseaseTimeAndTheTenthLevel) {
    test::TempDir game;
    test::makeKeeperFxInstall(game.path());
    addHandMod(game, "fxdata/rules.cfg", "[magic]\nDiseaseLoseHealthTime = 250\n");
    addHandMod(game, "fxdata/magic.cfg",
               "[power5]\nPower = 576 640 704 768 832 896 960 1024 1088 1234\n");
    const ModApply applied = applyMod(game.path(), withValue(2302, 5));
    ASSERT_TRUE(applied.ok) << applied.message;
    EXPECT_EQ(applied.notes, std::vector<std::string>{
                                 "GAME_DISEASE_LOSE_HEALTH_TIME Value keeps the original game's "
                                 "400, more than KeeperFX can hold there: it is written as 255, "
                                 "which is what KeeperFX plays for it."});
    EXPECT_NE(test::readBytes(game.file("mods/tavrel/fxdata/rules.cfg"))
                  .find("DiseaseLoseHealthTime = 255\r\n"),
              std::string::npos);
    const std::string magic = game.file("mods/tavrel/fxdata/magic.cfg");
    EXPECT_NE(test::readBytes(magic).find("Power = 5 640 704 768 832 896 960 1024 1088 1234\r\n"),
              std::string::npos);
    ASSERT_TRUE(applyMod(game.path(), withValue(2310, 2000)).ok);
    EXPECT_NE(test::readBytes(magic).find("Power = 576 640 704 768 832 896 960 1024 2000 2000\r\n"),
              std::string::npos);
}

struct Editing {
    SlotRef ref;
    RulesOrigin origin;
    std::int32_t value, stepped;   // a value, and the value ten more
    std::string_view typed, shown; // a text typed over the value, and what the box then holds
};

TEST(KeeperFxLimits, ValuesFromKeeperFxAreEditedWithinItsOwnLimits) {
    const SlotRef strength = SlotRef::creature(23, 6), pay = SlotRef::creature(23, 60);
    const Editing cases[] = {
        {strength, RulesOrigin::GameFile, 250, 255, "3000", "255"},
        {strength, RulesOrigin::KeeperFx, 3000, 3010, "70000", "65535"},
        {pay, RulesOrigin::GameFile, 32760, 32770, "40000", "40000"},
        {pay, RulesOrigin::KeeperFx, 32760, 32767, "40000", "32767"},
    };
    for (const Editing& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(applyStep(c.value, 10, StepDirection::More, boundsOf(c.ref, c.origin)),
                  c.stepped);
        InputBox box{std::to_string(c.value), c.value};
        changeInputText(box, c.typed, boundsOf(c.ref, c.origin));
        EXPECT_EQ(box.text, c.shown);
    }
}

TEST(KeeperFxLimits, ApplyChangesNamesTheValuesTheOriginalGameCannotTake) {
    ValueSet values = withValue(1656, 3000); // Imp Strength
    values[1655 - 1] = 100000;               // Imp Health
    test::TempDir game;
    const std::string file = renderGameFile(factoryDefaults());
    test::makeGameFolder(game.path(), file);
    EXPECT_EQ(applyToGame(game.path(), values).message,
              "The original game cannot take 2 values: Imp Health 100000 (at most 65535) and Imp "
              "Strength 3000 (at most 255). Bring them within the game's bounds to apply them "
              "to CREATURE.TXT. The game's files have not been changed.");
    EXPECT_EQ(test::readBytes(game.file("Data/CREATURE.TXT")), file);
    EXPECT_EQ(applyToGame(game.path(), factoryDefaults()).outcome, ApplyOutcome::Applied);
}

} // namespace
} // namespace tavrel::keeperfx
