#pragma once

#include <cstdint>

#include "core/bounds.h"
#include "core/settings_store.h"

namespace tavrel {

// Mouse button codes as the value labels report them.
inline constexpr int kButtonLeft = 1;
inline constexpr int kButtonRight = 2;
inline constexpr int kButtonMiddle = 4;

// Modifier bits as the value labels report them. Any of them set counts as "with a
// modifier": Ctrl and Alt act exactly like Shift.
inline constexpr int kModShift = 1;
inline constexpr int kModCtrl = 2;
inline constexpr int kModAlt = 4;

// Which of the two step labels was released.
enum class StepDirection { Less, More };

// The step a release of `button` with `modifiers` makes: left 1 (100 with a
// modifier), right 10 (1000 with a modifier), any other button 0.
std::int32_t stepFor(int button, int modifiers);

// The value after a release on "-" or "+": the step is subtracted or added with
// saturation at the signed 32-bit ends, then only the bound of the direction is
// applied. "-" lifts a value below 1 to 1 in a slot whose lower bound is 1 and any
// value below 0 to 0; "+" pulls a value above the upper bound down to it. The bound
// is applied even for a step of 0, so a middle click still repairs a value that a
// file left below the lower bound.
std::int32_t applyStep(std::int32_t value, std::int32_t step, StepDirection direction,
                       ValueBounds bounds);

// What a release on a value label does.
enum class ValueClick { OpenInput, ResetToDefault };

// With any modifier the value is reset to its factory default; otherwise the
// manual input dialog opens for it. The button does not matter.
ValueClick valueClickAction(int modifiers);

// The value a reset gives: the factory default, unbounded.
std::int32_t resetValue(const SettingsStore& store, SlotRef ref);

// How a value compares with its factory default, for its label's background.
enum class Highlight { Equal, Above, Below };
Highlight highlightOf(std::int32_t value, std::int32_t factoryDefault);

} // namespace tavrel
