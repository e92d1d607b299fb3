#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

// The creature abilities: what each code of the game's instance table is called on
// the creature screen and in the ability picker, how it is coloured there, and the
// order in which "-" and "+" step through them.

namespace tavrel {

// Power 1 is creature field 39, Power Level Required 1 field 49; nine more follow.
inline constexpr int kAbilitySlots = 10;
inline constexpr int kFieldPower1 = 39;
inline constexpr int kFieldPowerLevel1 = 49;

enum class AbilityClass {
    Empty,    // 0, no ability
    Normal,   // offered and fully supported
    Unlisted, // not offered; shown as "Unknown"
    Red,      // offered, but not fully supported by the game
};

// The name the creature screen shows; "Unknown" for codes the picker does not offer
// and for every code outside 0..39.
std::string_view abilityScreenName(std::int32_t code);
// The picker's caption for a code it offers.
std::optional<std::string_view> abilityPickerName(std::int32_t code);
AbilityClass abilityClass(std::int32_t code);

// AbilityStepOrder: the 33 offered codes in the picker's reading order.
inline constexpr int kOfferedAbilities = 33;
const std::array<std::int32_t, kOfferedAbilities>& abilityStepOrder();

// "+": the next offered code (37, the last, stays); a code without a picker name
// steps to its numeric neighbour, never above 255.
std::int32_t nextAbility(std::int32_t code);
// "-": the previous offered code (0, the first, stays); a code without a picker
// name steps to its numeric neighbour with no lower limit, except that the lowest
// 32-bit value stays as it is rather than wrap round.
std::int32_t previousAbility(std::int32_t code);

// How an ability row is drawn for its code and the code's factory default.
enum class AbilityTone { Black, Grey, Red, Changed };
struct AbilityLook {
    AbilityTone name;
    bool levelGrey; // the row's level drawn grey as well (no ability)
};
AbilityLook abilityLook(std::int32_t code, std::int32_t factoryDefault);

} // namespace tavrel
