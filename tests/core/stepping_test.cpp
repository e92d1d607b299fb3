#include <gtest/gtest.h>

#include <limits>

#include "core/bounds.h"
#include "editing/stepping.h"

namespace tavrel {
namespace {

constexpr std::int32_t kInt32Max = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kInt32Min = std::numeric_limits<std::int32_t>::min();

SlotRef room(int slot) {
    return SlotRef::of(Category::Room, slot);
}

TEST(Stepping, StepDependsOnButtonAndWhetherAnyModifierIsHeld) {
    struct Case {
        int button, modifiers;
        std::int32_t step;
    } cases[] = {{kButtonLeft, 0, 1},          {kButtonLeft, kModShift, 100},
                 {kButtonLeft, kModCtrl, 100}, {kButtonLeft, kModAlt, 100},
                 {kButtonRight, 0, 10},        {kButtonRight, kModAlt, 1000},
                 {kButtonMiddle, 0, 0},        {8, kModCtrl, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(stepFor(c.button, c.modifiers), c.step) << c.button << " " << c.modifiers;
}

TEST(Stepping, StepKeepsOnlyTheBoundOfItsDirection) {
    const auto less = StepDirection::Less;
    const auto more = StepDirection::More;
    struct Case {
        const char* what;
        SlotRef ref;
        std::int32_t value, step;
        StepDirection direction;
        std::int32_t result;
    } cases[] = {
        {"health 1 stays 1", room(3), 1, 1, less, 1},
        {"0 from a file in a lower-1 slot rises", room(3), 0, 1, less, 1},
        {"middle click lifts below-lower", room(3), 0, 0, less, 1},
        {"middle click lifts negative", room(2), -7, 0, less, 0},
        {"middle click on + changes nothing", room(2), -7, 0, more, -7},
        {"right - at 5, lower 0", room(2), 5, 10, less, 0},
        {"shift right + at 65000", SlotRef::of(Category::Magic, 5), 65000, 1000, more, 65535},
        {"research to 24-bit top", SlotRef::of(Category::Research, 3), 16776500, 1000, more,
         16777215},
        {"boulder Speed 250 + 10", SlotRef::of(Category::TrapDoor, 40), 250, 10, more, 256},
        {"arrow Speed 256 + 1", SlotRef::of(Category::Ability, 9), 256, 1, more, 256},
        {"arrow Damage 256 + 1", SlotRef::of(Category::Ability, 6), 256, 1, more, 257},
        {"Shots 255 + 1", SlotRef::of(Category::TrapDoor, 2), 255, 1, more, 255},
        {"percent 20 + 1000", SlotRef::of(Category::Misc, 11), 20, 1000, more, 100},
        {"imp dig 1 - 1", SlotRef::of(Category::Misc, 16), 1, 1, less, 0},
        {"grow up level 9 + 10", SlotRef::creature(3, 36), 9, 10, more, 10},
        {"strength 250 + 10", SlotRef::creature(3, 6), 250, 10, more, 255},
        {"above upper from a file: + pulls down", room(2), 70000, 1, more, 65535},
        {"above upper from a file: - only subtracts", room(2), 70000, 1, less, 69999},
        {"below lower from a file: + only adds", room(3), -50, 1, more, -49}};
    for (const auto& c : cases)
        EXPECT_EQ(applyStep(c.value, c.step, c.direction, boundsOf(c.ref)), c.result) << c.what;
}

TEST(Stepping, SaturatesAtTheSigned32BitEnds) {
    struct Case {
        std::int32_t value, step;
        StepDirection direction;
        ValueBounds bounds;
        std::int32_t result;
    } cases[] = {{kInt32Max - 5, 1000, StepDirection::More, {0, kInt32Max}, kInt32Max},
                 {kInt32Min + 5, 1000, StepDirection::Less, {0, 65535}, 0},
                 {kInt32Min + 5, 1000, StepDirection::Less, {1, 65535}, 1},
                 {kInt32Max, 1000, StepDirection::Less, {0, 65535}, kInt32Max - 1000}};
    for (const auto& c : cases)
        EXPECT_EQ(applyStep(c.value, c.step, c.direction, c.bounds), c.result) << c.value;
}

} // namespace
} // namespace tavrel
