#pragma once

#include <cstdint>

#include "core/settings_store.h"

namespace tavrel {

// The range a slot is kept in by stepping and by typed input. Values read from a
// file may lie outside it; they are only pulled back when the user edits them.
struct ValueBounds {
    std::int32_t lower = 0;
    std::int32_t upper = 0;
    friend constexpr bool operator==(const ValueBounds&, const ValueBounds&) = default;
};

inline constexpr std::int32_t kMax8 = 255;
inline constexpr std::int32_t kMax16 = 65535;
inline constexpr std::int32_t kMax24 = 16777215;

ValueBounds boundsOf(SlotRef ref);

// The range of a slot for values from `origin`: values read from KeeperFX are edited up to
// what KeeperFX's own field holds for a number it reads as it stands, which may be more
// (a Strength up to 65535) or less (a Pay up to 32767) than the game file allows.
ValueBounds boundsOf(SlotRef ref, RulesOrigin origin);

} // namespace tavrel
