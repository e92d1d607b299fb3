#include <gtest/gtest.h>

#include "editing/stepping.h"
#include "editing/value_keys.h"

namespace tavrel {
namespace {

// Each key steps by what the matching mouse click steps by, in its direction.
TEST(ValueKeys, StepKeysStepLikeTheMouse) {
    struct Case {
        ValueKey key;
        int modifiers;
        KeyTarget target;
        std::int32_t step;
    } cases[] = {
        {ValueKey::Up, 0, KeyTarget::More, 1},
        {ValueKey::Plus, kModShift, KeyTarget::More, 100},
        {ValueKey::Down, kModShift, KeyTarget::Less, 100},
        {ValueKey::Minus, 0, KeyTarget::Less, 1},
        {ValueKey::PageUp, 0, KeyTarget::More, 10},
        {ValueKey::PageDown, kModShift, KeyTarget::Less, 1000},
    };
    for (const Case& c : cases) {
        const KeyGesture gesture = gestureForKey(c.key, c.modifiers);
        EXPECT_EQ(gesture.target, c.target) << static_cast<int>(c.key);
        EXPECT_EQ(stepFor(gesture.button, gesture.modifiers), c.step) << static_cast<int>(c.key);
    }
}

TEST(ValueKeys, ValueKeysOpenOrResetAndOthersDoNothing) {
    EXPECT_EQ(valueClickAction(gestureForKey(ValueKey::Enter, 0).modifiers), ValueClick::OpenInput);
    EXPECT_EQ(gestureForKey(ValueKey::F2, 0).target, KeyTarget::Value);
    const KeyGesture reset = gestureForKey(ValueKey::Backspace, kModCtrl);
    EXPECT_EQ(reset.target, KeyTarget::Value);
    EXPECT_EQ(valueClickAction(reset.modifiers), ValueClick::ResetToDefault);
    for (const auto& [key, modifiers] : {std::pair{ValueKey::Backspace, 0},
                                         {ValueKey::Up, kModCtrl},
                                         {ValueKey::Plus, kModAlt},
                                         {ValueKey::Enter, kModShift},
                                         {ValueKey::Other, 0}})
        EXPECT_EQ(gestureForKey(key, modifiers).target, KeyTarget::None);
}

} // namespace
} // namespace tavrel
