#include "editing/stepping.h"

#include <algorithm>
#include <limits>

namespace tavrel {

std::int32_t stepFor(int button, int modifiers) {
    const bool modified = modifiers != 0;
    switch (button) {
    case kButtonLeft:
        return modified ? 100 : 1;
    case kButtonRight:
        return modified ? 1000 : 10;
    default:
        return 0;
    }
}

std::int32_t applyStep(std::int32_t value, std::int32_t step, StepDirection direction,
                       ValueBounds bounds) {
    // A value read from a file may lie within a step of the 32-bit ends; the sum is
    // taken wide and saturated rather than wrapped.
    const std::int64_t wide =
        direction == StepDirection::Less ? std::int64_t{value} - step : std::int64_t{value} + step;
    std::int64_t result = std::clamp<std::int64_t>(wide, std::numeric_limits<std::int32_t>::min(),
                                                   std::numeric_limits<std::int32_t>::max());
    if (direction == StepDirection::Less) {
        if (bounds.lower == 1 && result < 1)
            result = 1;
        if (result < 0)
            result = 0;
    } else if (result > bounds.upper) {
        result = bounds.upper;
    }
    return static_cast<std::int32_t>(result);
}

ValueClick valueClickAction(int modifiers) {
    return modifiers != 0 ? ValueClick::ResetToDefault : ValueClick::OpenInput;
}

std::int32_t resetValue(const SettingsStore& store, SlotRef ref) {
    return store.defaultValue(ref);
}

Highlight highlightOf(std::int32_t value, std::int32_t factoryDefault) {
    if (value > factoryDefault)
        return Highlight::Above;
    if (value < factoryDefault)
        return Highlight::Below;
    return Highlight::Equal;
}

} // namespace tavrel
