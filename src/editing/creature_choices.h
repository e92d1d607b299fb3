#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

// The creature fields that are not plain numbers: job sets, creature kinds, room
// codes, on/off flags and the attack preference. Each rule maps a stored value to
// what its control shows, and a user's choice back to the value to store.

namespace tavrel {

// The creature fields these controls edit.
inline constexpr int kFieldPrimaryJobs = 1;
inline constexpr int kFieldSecondaryJobs = 2;
inline constexpr int kFieldRefusedJobs = 3;
inline constexpr int kFieldAngryJobs = 4;
inline constexpr int kFieldAnnoyLevel = 15;
inline constexpr int kFieldGrowUp = 35;
inline constexpr int kFieldImmuneToGas = 37;
inline constexpr int kFieldAttackPreference = 38;
inline constexpr int kFieldEntranceRoom1 = 63; // rooms 2 and 3 follow
inline constexpr int kFieldLairEnemy = 71;
inline constexpr int kFieldSeeInvisible = 72;
inline constexpr int kFieldLockedDoors = 73;
inline constexpr int kFieldAffectedByWind = 75;

// Job sets: item j of a list stands for 2 to the power j.
inline constexpr int kJobItems = 15;
inline constexpr int kAngryJobItems = 8;
const std::array<std::string_view, kJobItems>& jobCaptions();
const std::array<std::string_view, kAngryJobItems>& angryJobCaptions();

// Whether item j (0-based) of a job list is shown checked for a job set.
bool jobChecked(std::int32_t jobs, int item);

// The job set after item j was checked (adds its value) or unchecked (subtracts
// it). The checks always show the set's bits, so this sets or clears that bit and
// leaves every other bit, shown or not, as it was; the arithmetic cannot wrap.
std::int32_t jobsAfterCheck(std::int32_t jobs, int item, bool checked);

// CreatureListOrder: the 30 kinds in the creature picker's order, bad guys first.
// The training and hated creature lists put item 0 (no creature, value 0) before it.
inline constexpr int kBadGuys = 17;
inline constexpr int kGoodGuys = 13;
const std::array<int, kBadGuys + kGoodGuys>& creatureListOrder();

// The item of a creature list (0..30) that stands for a stored kind, if any.
std::optional<int> creatureListItem(std::int32_t kind);
// The kind an item of a creature list stands for (0 for item 0), if it is an item.
std::optional<std::int32_t> kindOfCreatureListItem(int item);

// EntryRoomList: the entrance room lists' 17 items, each a room code.
struct EntryRoom {
    std::string_view caption;
    std::int32_t code;
};
inline constexpr int kEntryRoomItems = 17;
const std::array<EntryRoom, kEntryRoomItems>& entryRoomList();
std::optional<int> entryRoomItem(std::int32_t code);
std::optional<std::int32_t> roomOfEntryItem(int item);

// The four flag check boxes and "Can Become Angry".
enum class CreatureFlag { ImmuneToGas, NotBlownByWind, SeeInvisible, LockedDoors, CanBecomeAngry };

struct FlagInfo {
    int field;
    std::string_view caption;
};
FlagInfo flagInfo(CreatureFlag flag);

// Whether the flag's check box is shown checked for the field's value.
bool flagChecked(CreatureFlag flag, std::int32_t value);
// The value a user's check or uncheck stores. "Can Become Angry" stores the factory
// annoy level, which depends on the kind only (the Fly's is twice the others').
std::int32_t flagValue(CreatureFlag flag, bool checked, int kind);

// The attack preference: 1 is melee, anything else ranged; a click toggles.
std::string_view attackCaption(std::int32_t value);
std::int32_t toggledAttack(std::int32_t value);

} // namespace tavrel
