#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

namespace tavrel {

// The seven groups of values; the numeric codes are the ones the screens and the
// manual input dialog use to name a pair of tables.
enum class Category : std::uint8_t {
    Creature = 1,
    Room = 2,
    Magic = 3,
    Research = 4,
    TrapDoor = 5,
    Ability = 6,
    Misc = 7,
};

inline constexpr std::array<Category, 7> kAllCategories = {
    Category::Creature, Category::Room,    Category::Magic, Category::Research,
    Category::TrapDoor, Category::Ability, Category::Misc,
};

inline constexpr int kCreatureKinds = 30;
inline constexpr int kCreatureFields = 75;
inline constexpr int kSlotCount = 2680;

// Number of slots of a category (creatures: kinds x fields).
constexpr int slotCount(Category c) {
    switch (c) {
    case Category::Creature:
        return kCreatureKinds * kCreatureFields;
    case Category::Room:
        return 30;
    case Category::Magic:
        return 216;
    case Category::Research:
        return 29;
    case Category::TrapDoor:
        return 40;
    case Category::Ability:
        return 87;
    case Category::Misc:
        return 28;
    }
    return 0;
}

// Records before the category's first one, in settings-file order.
constexpr int recordOffset(Category c) {
    int offset = 0;
    for (Category each : kAllCategories) {
        if (each == c)
            return offset;
        offset += slotCount(each);
    }
    return offset;
}

std::string_view categoryName(Category c);

// One slot of the store. For creatures `kind` is 1..30 and `slot` the field 1..75;
// for every other category `kind` is 0 and `slot` is the 1-based slot number.
struct SlotRef {
    Category category = Category::Creature;
    int kind = 0;
    int slot = 0;

    static constexpr SlotRef creature(int kind, int field) {
        return {Category::Creature, kind, field};
    }
    static constexpr SlotRef of(Category c, int slot) { return {c, 0, slot}; }
    friend constexpr bool operator==(const SlotRef&, const SlotRef&) = default;
};

// 1-based record number of a slot: the order of the settings file and of every
// whole-set operation.
constexpr int recordOf(SlotRef ref) {
    if (ref.category == Category::Creature)
        return kCreatureFields * (ref.kind - 1) + ref.slot;
    return recordOffset(ref.category) + ref.slot;
}

SlotRef slotOfRecord(int record);

// True when the reference names an existing slot.
bool isValidSlot(SlotRef ref);

// All 2,680 values of one set, in record order (element 0 is record 1).
using ValueSet = std::array<std::int32_t, kSlotCount>;

// Where the values in the tables were last filled from as a whole.
enum class RulesOrigin : std::uint8_t { GameFile, KeeperFx };

// One slot's change: its record number and its value before and after.
struct SlotChange {
    int record = 0;
    std::int32_t before = 0;
    std::int32_t after = 0;
    friend constexpr bool operator==(const SlotChange&, const SlotChange&) = default;
};

// The program-wide model of every editable value: a current set and its factory
// twin. Every change of a current value passes through `set` or `assign`.
class SettingsStore {
public:
    SettingsStore();

    std::int32_t value(SlotRef ref) const { return current_[index(ref)]; }
    std::int32_t defaultValue(SlotRef ref) const { return defaults_[index(ref)]; }

    // Told of every call of `set` or `assign` that changed a value, with the slots it
    // changed, in record order, and what the caller called the change (empty for
    // `set`). The one place that learns of every change: the history listens here.
    using ChangeHook = std::function<void(const std::vector<SlotChange>&, std::string_view what)>;
    void setChangeHook(ChangeHook hook) { hook_ = std::move(hook); }

    void set(SlotRef ref, std::int32_t v);
    // Replaces every current value at once (reader, settings file load, restore);
    // `what` names the command for the change hook.
    void assign(const ValueSet& values, std::string_view what = {});
    // `assign` of a whole set read from somewhere (a game file, a settings file, KeeperFX's
    // rules, the factory values), which also records where the values came from.
    void fill(const ValueSet& values, std::string_view what, RulesOrigin origin);
    void restoreDefaults() { fill(defaults_, "Restore Defaults", RulesOrigin::GameFile); }
    // Edits, pastes and undos keep it: they change values within the same rules.
    RulesOrigin origin() const { return origin_; }

    const ValueSet& values() const { return current_; }
    const ValueSet& defaults() const { return defaults_; }

    // Counts every change; screens compare it to know whether to redraw.
    std::uint64_t revision() const { return revision_; }

private:
    static std::size_t index(SlotRef ref);

    ValueSet current_{};
    ValueSet defaults_{};
    std::uint64_t revision_ = 0;
    RulesOrigin origin_ = RulesOrigin::GameFile;
    ChangeHook hook_;
};

} // namespace tavrel
