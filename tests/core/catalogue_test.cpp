#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "core/catalogue.h"
#include "core/editor_state.h"
#include "core/factory_defaults.h"

namespace tavrel {
namespace {

TEST(Catalogue, RecordsAndSlotsMapOneToOne) {
    // That each slot has a place of its own in the file, the writer's tests show.
    for (int record = 1; record <= kSlotCount; ++record) {
        const SlotRef ref = slotOfRecord(record);
        ASSERT_TRUE(isValidSlot(ref)) << record;
        ASSERT_EQ(recordOf(ref), record);
    }
    EXPECT_EQ(recordOf(SlotRef::creature(30, 75)), 2250);
    EXPECT_EQ(recordOf(SlotRef::of(Category::Room, 1)), 2251);
    EXPECT_EQ(recordOf(SlotRef::of(Category::Research, 1)), 2497);
    EXPECT_EQ(recordOf(SlotRef::of(Category::TrapDoor, 1)), 2526);
    EXPECT_EQ(recordOf(SlotRef::of(Category::Ability, 1)), 2566);
    EXPECT_EQ(recordOf(SlotRef::of(Category::Misc, 28)), 2680);
}

// Every slot whose bounds are not 0 to 65535, as the game's value ranges give them.
TEST(Catalogue, BoundsOfEverySlot) {
    struct Rule {
        Category category;
        std::vector<int> slots; // empty: every slot of the category
        ValueBounds bounds;
    };
    const Rule rules[] = {
        {Category::Creature, {5}, {1, 65535}},
        {Category::Creature, {36, 49, 50, 51, 52, 53, 54, 55, 56, 57, 58}, {0, 10}},
        {Category::Creature,
         {6, 7, 8, 9, 10, 11, 12, 14, 16, 17, 18, 20, 21, 24, 59, 61, 62, 66, 67, 68, 70},
         {0, 255}},
        {Category::Room, {1, 3, 5, 7, 9, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 30}, {1, 65535}},
        {Category::Research, {}, {0, 16777215}},
        {Category::TrapDoor,
         {1, 5, 9, 13, 17, 21, 4, 8, 12, 16, 20, 24, 25, 28, 31, 34, 26, 29, 32, 35},
         {0, 16777215}},
        {Category::TrapDoor, {2, 6, 10, 14, 18, 22}, {1, 255}},
        {Category::TrapDoor, {27, 30, 33, 36, 37}, {1, 65535}},
        {Category::TrapDoor, {40}, {0, 256}},
        {Category::Ability, {9, 13, 17, 22, 37, 50, 57, 61, 68, 78, 82}, {0, 256}},
        {Category::Misc, {1, 2, 3, 6, 8, 9, 10, 13, 15, 21, 25, 28}, {0, 16777215}},
        {Category::Misc, {4, 18, 19, 20}, {1, 65535}},
        {Category::Misc, {11, 12}, {0, 100}},
        {Category::Misc, {16, 17}, {0, 255}},
    };
    for (int record = 1; record <= kSlotCount; ++record) {
        const SlotRef ref = slotOfRecord(record);
        ValueBounds expected{0, 65535};
        for (const Rule& rule : rules)
            if (rule.category == ref.category &&
                (rule.slots.empty() ||
                 std::find(rule.slots.begin(), rule.slots.end(), ref.slot) != rule.slots.end()))
                expected = rule.bounds;
        EXPECT_EQ(boundsOf(ref), expected) << slotInfo(ref).row << " / " << slotInfo(ref).column;
    }
}

// The game's ten tips, then the editor's own four; the last on KeeperFX.
TEST(EditorStateTables, TheHelpTips) {
    EXPECT_EQ(tipText(6), "One second of time is approximately 20 units of time in the game.");
    EXPECT_EQ(tipText(14), "KeeperFX does not read CREATURE.TXT. To play your changes in KeeperFX, "
                           "choose Apply to KeeperFX in the KeeperFX menu, which writes them as a "
                           "mod. Read KeeperFX Rules shows the values KeeperFX uses now.");
    EXPECT_EQ(EditorTips().size(), 14u);
}

} // namespace
} // namespace tavrel
