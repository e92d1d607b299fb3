#include "core/bounds.h"

#include <algorithm>
#include <initializer_list>

#include "keeperfx/limits.h"

namespace tavrel {

namespace {

bool among(int slot, std::initializer_list<int> slots) {
    return std::find(slots.begin(), slots.end(), slot) != slots.end();
}

ValueBounds creatureBounds(int field) {
    if (field == 5) // Health
        return {1, kMax16};
    if (field == 36 || (field >= 49 && field <= 58)) // levels
        return {0, 10};
    if ((field >= 6 && field <= 12) ||
        among(field, {14, 16, 17, 18, 20, 21, 24, 59, 61, 62, 66, 67, 68, 70}))
        return {0, kMax8};
    return {0, kMax16};
}

ValueBounds roomBounds(int slot) {
    // Health slots: the entrance, every odd slot up to the training area, the heart,
    // then every even slot after it.
    const bool health =
        slot == 1 || slot == 12 || (slot < 12 && slot % 2 == 1) || (slot > 12 && slot % 2 == 0);
    return {health ? 1 : 0, kMax16};
}

ValueBounds trapDoorBounds(int slot) {
    if (slot <= 24) {
        switch (slot % 4) {
        case 2: // Shots
            return {1, kMax8};
        case 3: // Time Between Shots
            return {0, kMax16};
        default: // Manufacture Required, Selling Value
            return {0, kMax24};
        }
    }
    if (slot <= 36)
        return (slot - 25) % 3 == 2 ? ValueBounds{1, kMax16} : ValueBounds{0, kMax24};
    switch (slot) {
    case 37: // boulder Health
        return {1, kMax16};
    case 40: // boulder Speed
        return {0, 256};
    default:
        return {0, kMax16};
    }
}

ValueBounds abilityBounds(int slot) {
    return {0, among(slot, {9, 13, 17, 22, 37, 50, 57, 61, 68, 78, 82}) ? 256 : kMax16};
}

ValueBounds miscBounds(int slot) {
    if (among(slot, {1, 2, 3, 6, 8, 9, 10, 13, 15, 21, 25, 28}))
        return {0, kMax24};
    if (among(slot, {4, 18, 19, 20}))
        return {1, kMax16};
    if (slot == 11 || slot == 12)
        return {0, 100};
    if (slot == 16 || slot == 17)
        return {0, kMax8};
    return {0, kMax16};
}

} // namespace

ValueBounds boundsOf(SlotRef ref) {
    switch (ref.category) {
    case Category::Creature:
        return creatureBounds(ref.slot);
    case Category::Room:
        return roomBounds(ref.slot);
    case Category::Magic:
        return {0, kMax16};
    case Category::Research:
        return {0, kMax24};
    case Category::TrapDoor:
        return trapDoorBounds(ref.slot);
    case Category::Ability:
        return abilityBounds(ref.slot);
    case Category::Misc:
        return miscBounds(ref.slot);
    }
    return {0, kMax16};
}

ValueBounds boundsOf(SlotRef ref, RulesOrigin origin) {
    ValueBounds bounds = boundsOf(ref);
    if (origin == RulesOrigin::KeeperFx)
        if (const auto highest = keeperfx::keeperFxHighest(recordOf(ref)))
            bounds.upper = *highest;
    return bounds;
}

} // namespace tavrel
