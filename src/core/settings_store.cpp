#include "core/settings_store.h"

#include <cassert>

#include "core/factory_defaults.h"

namespace tavrel {

std::string_view categoryName(Category c) {
    switch (c) {
    case Category::Creature:
        return "creature";
    case Category::Room:
        return "room";
    case Category::Magic:
        return "magic";
    case Category::Research:
        return "research";
    case Category::TrapDoor:
        return "trapdoor";
    case Category::Ability:
        return "ability";
    case Category::Misc:
        return "misc";
    }
    return {};
}

SlotRef slotOfRecord(int record) {
    assert(record >= 1 && record <= kSlotCount);
    if (record <= kCreatureKinds * kCreatureFields)
        return SlotRef::creature((record - 1) / kCreatureFields + 1,
                                 (record - 1) % kCreatureFields + 1);
    Category found = Category::Room;
    for (Category c : kAllCategories)
        if (record > recordOffset(c))
            found = c;
    return SlotRef::of(found, record - recordOffset(found));
}

bool isValidSlot(SlotRef ref) {
    if (ref.category == Category::Creature)
        return ref.kind >= 1 && ref.kind <= kCreatureKinds && ref.slot >= 1 &&
               ref.slot <= kCreatureFields;
    return ref.kind == 0 && ref.slot >= 1 && ref.slot <= slotCount(ref.category);
}

SettingsStore::SettingsStore() : defaults_(factoryDefaults()) {}

std::size_t SettingsStore::index(SlotRef ref) {
    // Indices come from fixed tables or whole-table loops; a bad one is a bug.
    assert(isValidSlot(ref));
    return static_cast<std::size_t>(recordOf(ref) - 1);
}

void SettingsStore::set(SlotRef ref, std::int32_t v) {
    const std::size_t at = index(ref);
    const std::int32_t before = current_[at];
    current_[at] = v;
    ++revision_;
    if (hook_ && before != v)
        hook_({{static_cast<int>(at) + 1, before, v}}, {});
}

void SettingsStore::assign(const ValueSet& values, std::string_view what) {
    std::vector<SlotChange> changes;
    if (hook_)
        for (std::size_t at = 0; at < values.size(); ++at)
            if (current_[at] != values[at])
                changes.push_back({static_cast<int>(at) + 1, current_[at], values[at]});
    current_ = values;
    ++revision_;
    if (!changes.empty())
        hook_(changes, what);
}

void SettingsStore::fill(const ValueSet& values, std::string_view what, RulesOrigin origin) {
    origin_ = origin;
    assign(values, what);
}

} // namespace tavrel
