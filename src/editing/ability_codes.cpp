#include "editing/ability_codes.h"

#include <algorithm>
#include <cstddef>
#include <limits>

namespace tavrel {

namespace {

struct AbilityInfo {
    std::string_view screenName;
    std::string_view pickerName; // empty: not offered
    AbilityClass kind;
};

constexpr std::string_view kUnknown = "Unknown";
constexpr std::int32_t kHighestStepped = 255;

// Indexed by code, 0..39.
constexpr std::array<AbilityInfo, 40> kAbilities = {{
    {"None", "None", AbilityClass::Empty},
    {"Melee (Sword)", "Melee (Sword)", AbilityClass::Normal},
    {"Melee (Fist)", "Melee (Fist)", AbilityClass::Normal},
    {kUnknown, {}, AbilityClass::Unlisted}, // INSTANCE_ESCAPE
    {"Arrow (P)", "Arrow (Projectile)", AbilityClass::Normal},
    {"Fireball (P)", "Fireball (Projectile)", AbilityClass::Normal},
    {"Meteor (P)", "Meteor (Projectile)", AbilityClass::Normal},
    {"Freeze (P)", "Freeze (Projectile)", AbilityClass::Normal},
    {"Armour", "Armour", AbilityClass::Normal},
    {"Lightning", "Lightning", AbilityClass::Normal},
    {"Reflect", "Reflect", AbilityClass::Normal},
    {"Heal", "Heal", AbilityClass::Normal},
    {"Poison Cloud (P)", "Poison Cloud (Projectile)", AbilityClass::Normal},
    {"Conceal", "Conceal", AbilityClass::Normal},
    {"Teleport", "Teleport", AbilityClass::Normal},
    {"Speed", "Speed", AbilityClass::Normal},
    {"Slow (P)", "Slow (Projectile)", AbilityClass::Normal},
    {"Drain", "Drain", AbilityClass::Normal},
    {kUnknown, {}, AbilityClass::Unlisted}, // INSTANCE_FEAR
    {"Missile (P)", "Missile (Projectile)", AbilityClass::Normal},
    {"Homing Missile (P)", "Homing Missile (Projectile)", AbilityClass::Normal},
    {"Flame Breath", "Flame Breath", AbilityClass::Normal},
    {"Wind (P)", "Wind (Projectiles)", AbilityClass::Normal},
    {"Light", "Light", AbilityClass::Normal},
    {"Fly", "Fly", AbilityClass::Normal},
    {"Sight", "Sight", AbilityClass::Normal},
    {"Grenade (P)", "Grenade (Projectile)", AbilityClass::Normal},
    {"Hailstorm (P)", "Hailstorm (Projectiles)", AbilityClass::Normal},
    {"Word of Power", "Word of Power", AbilityClass::Normal},
    {"Poison Gas", "Poison Gas", AbilityClass::Normal},
    {kUnknown, {}, AbilityClass::Unlisted}, // INSTANCE_DIG
    {"Claim Any Tile", "Claim Any Tile", AbilityClass::Red},
    {"Damage Tiles", "Damage Tiles (Claimed)", AbilityClass::Red},
    {kUnknown, {}, AbilityClass::Unlisted}, // INSTANCE_TUNNEL
    {kUnknown, {}, AbilityClass::Unlisted}, // INSTANCE_WAVE
    {kUnknown, {}, AbilityClass::Unlisted}, // INSTANCE_REINFORCE
    {"Eat (Without Food)", "Eat (Without Food)", AbilityClass::Red},
    {"Damage Any Tile", "Damage Any Tile", AbilityClass::Red},
    {kUnknown, {}, AbilityClass::Unlisted}, // INSTANCE_DAMAGE_WALL
    {"Dig", "Dig", AbilityClass::Normal},   // INSTANCE_FIRST_PERSON_DIG
}};

const AbilityInfo* infoOf(std::int32_t code) {
    if (code < 0 || code >= static_cast<std::int32_t>(kAbilities.size()))
        return nullptr;
    return &kAbilities[static_cast<std::size_t>(code)];
}

// Place of a code in the step order, if it is offered.
std::optional<std::size_t> stepPlace(std::int32_t code) {
    const auto& order = abilityStepOrder();
    const auto* found = std::find(order.begin(), order.end(), code);
    if (found == order.end())
        return std::nullopt;
    return static_cast<std::size_t>(found - order.begin());
}

} // namespace

std::string_view abilityScreenName(std::int32_t code) {
    const AbilityInfo* info = infoOf(code);
    return info ? info->screenName : kUnknown;
}

std::optional<std::string_view> abilityPickerName(std::int32_t code) {
    const AbilityInfo* info = infoOf(code);
    if (!info || info->pickerName.empty())
        return std::nullopt;
    return info->pickerName;
}

AbilityClass abilityClass(std::int32_t code) {
    const AbilityInfo* info = infoOf(code);
    return info ? info->kind : AbilityClass::Unlisted;
}

const std::array<std::int32_t, kOfferedAbilities>& abilityStepOrder() {
    static constexpr std::array<std::int32_t, kOfferedAbilities> order = {
        0,  39, 2,  1,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15, 16,
        17, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 31, 32, 36, 37,
    };
    return order;
}

std::int32_t nextAbility(std::int32_t code) {
    if (const auto place = stepPlace(code)) {
        const auto& order = abilityStepOrder();
        return *place + 1 < order.size() ? order[*place + 1] : code;
    }
    return code >= kHighestStepped ? kHighestStepped : code + 1;
}

std::int32_t previousAbility(std::int32_t code) {
    if (const auto place = stepPlace(code))
        return *place > 0 ? abilityStepOrder()[*place - 1] : code;
    return code == std::numeric_limits<std::int32_t>::min() ? code : code - 1;
}

AbilityLook abilityLook(std::int32_t code, std::int32_t factoryDefault) {
    const AbilityClass kind = abilityClass(code);
    AbilityLook look{AbilityTone::Black, kind == AbilityClass::Empty};
    if (kind == AbilityClass::Empty)
        look.name = AbilityTone::Grey;
    else if (kind == AbilityClass::Red)
        look.name = AbilityTone::Red;
    if (kind != AbilityClass::Red && code != factoryDefault)
        look.name = AbilityTone::Changed;
    if (abilityScreenName(code) == kUnknown)
        look.name = AbilityTone::Red;
    return look;
}

} // namespace tavrel
