#include "editing/creature_choices.h"

#include <cstddef>

namespace tavrel {

namespace {

constexpr int kFly = 19;
constexpr std::int32_t kAnnoyLevel = 4000;
constexpr std::int32_t kFlyAnnoyLevel = 8000;

std::uint32_t bitOf(int item) {
    return std::uint32_t{1} << item;
}

} // namespace

const std::array<std::string_view, kJobItems>& jobCaptions() {
    static constexpr std::array<std::string_view, kJobItems> captions = {
        "Tunnel",        "Dig",
        "Research",      "Train",
        "Manufacture",   "Scavenge",
        "Kinky Torture", "Fight",
        "Seek Enemy",    "Guard Duty",
        "Group",         "Barrack Duty",
        "Use Temple",    "Freeze Prisoners",
        "Explore",
    };
    return captions;
}

const std::array<std::string_view, kAngryJobItems>& angryJobCaptions() {
    static constexpr std::array<std::string_view, kAngryJobItems> captions = {
        "Attack Creatures", "Vandalise Rooms", "Leave Dungeon",    "Steal Gold",
        "Damage Walls",     "Become Psycho!",  "Encourage Mutiny", "Join The Enemy",
    };
    return captions;
}

bool jobChecked(std::int32_t jobs, int item) {
    return item >= 0 && item < 31 && (static_cast<std::uint32_t>(jobs) & bitOf(item)) != 0;
}

std::int32_t jobsAfterCheck(std::int32_t jobs, int item, bool checked) {
    if (item < 0 || item >= 31 || jobChecked(jobs, item) == checked)
        return jobs;
    // Adding the value of a clear bit sets it, subtracting that of a set bit clears
    // it: neither carries into another bit.
    const std::int32_t value = static_cast<std::int32_t>(bitOf(item));
    return checked ? jobs + value : jobs - value;
}

const std::array<int, kBadGuys + kGoodGuys>& creatureListOrder() {
    static constexpr std::array<int, kBadGuys + kGoodGuys> kinds = {
        23, 28, 15, 24, 19, 26, 27, 21, 18, 17, 25, 30, 16, 22, 20, 29, 14, // bad guys
        8,  5,  2,  10, 12, 3,  13, 1,  4,  9,  11, 6,  7,                  // good guys
    };
    return kinds;
}

std::optional<int> creatureListItem(std::int32_t kind) {
    if (kind == 0)
        return 0;
    const auto& kinds = creatureListOrder();
    for (std::size_t i = 0; i < kinds.size(); ++i)
        if (kinds[i] == kind)
            return static_cast<int>(i) + 1;
    return std::nullopt;
}

std::optional<std::int32_t> kindOfCreatureListItem(int item) {
    if (item == 0)
        return 0;
    if (item < 0 || item > static_cast<int>(creatureListOrder().size()))
        return std::nullopt;
    return creatureListOrder()[static_cast<std::size_t>(item - 1)];
}

const std::array<EntryRoom, kEntryRoomItems>& entryRoomList() {
    static constexpr std::array<EntryRoom, kEntryRoomItems> rooms = {{
        {"None", 0},
        {"Treasury", 2},
        {"Lair", 14},
        {"Hatchery", 13},
        {"Training Room", 6},
        {"Library", 3},
        {"Bridge", 15},
        {"Guard Post", 16},
        {"Workshop", 8},
        {"Prison", 4},
        {"Torture Chamber", 5},
        {"Barracks", 12},
        {"Temple", 10},
        {"Graveyard", 11},
        {"Scavenger Room", 9},
        {"Portal", 1},
        {"Dungeon Heart", 7},
    }};
    return rooms;
}

std::optional<int> entryRoomItem(std::int32_t code) {
    const auto& rooms = entryRoomList();
    for (std::size_t i = 0; i < rooms.size(); ++i)
        if (rooms[i].code == code)
            return static_cast<int>(i);
    return std::nullopt;
}

std::optional<std::int32_t> roomOfEntryItem(int item) {
    if (item < 0 || item >= kEntryRoomItems)
        return std::nullopt;
    return entryRoomList()[static_cast<std::size_t>(item)].code;
}

FlagInfo flagInfo(CreatureFlag flag) {
    switch (flag) {
    case CreatureFlag::ImmuneToGas:
        return {kFieldImmuneToGas, "Immune to poison gas"};
    case CreatureFlag::NotBlownByWind:
        return {kFieldAffectedByWind, "Can not be blown away by wind"};
    case CreatureFlag::SeeInvisible:
        return {kFieldSeeInvisible, "Can see invisible creatures"};
    case CreatureFlag::LockedDoors:
        return {kFieldLockedDoors, "Can go through locked doors"};
    case CreatureFlag::CanBecomeAngry:
        break;
    }
    return {kFieldAnnoyLevel, "Can Become Angry"};
}

bool flagChecked(CreatureFlag flag, std::int32_t value) {
    switch (flag) {
    case CreatureFlag::NotBlownByWind: // the field says that wind does affect it
        return value == 0;
    case CreatureFlag::CanBecomeAngry:
        return value != 0;
    default:
        return value == 1;
    }
}

std::int32_t flagValue(CreatureFlag flag, bool checked, int kind) {
    switch (flag) {
    case CreatureFlag::NotBlownByWind:
        return checked ? 0 : 1;
    case CreatureFlag::CanBecomeAngry:
        if (!checked)
            return 0;
        return kind == kFly ? kFlyAnnoyLevel : kAnnoyLevel;
    default:
        return checked ? 1 : 0;
    }
}

std::string_view attackCaption(std::int32_t value) {
    return value == 1 ? "Melee" : "Ranged";
}

std::int32_t toggledAttack(std::int32_t value) {
    return value == 1 ? 2 : 1;
}

} // namespace tavrel
