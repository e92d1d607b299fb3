#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "core/settings_store.h"

namespace tavrel::keeperfx {

// How a slot's value stands in KeeperFX's words.
enum class Encoding : std::uint8_t {
    Number,           // the number as it stands
    JobNames,         // a bit mask written as the names of its jobs
    AngerJobNames,    // the same with the anger jobs
    InstanceName,     // a number looked up in a name table; 0 is NULL
    RoomName,         //
    CreatureName,     //
    AttackPreference, //
    FearPercent,      // Fear 0..255 as KeeperFX's percentage of health
    WordPresent,      // 1: the word `item` is in the key's list
    WordAbsent,       // 1: the word `item` is not in the key's list
    ResearchAmount,   // third word of the `Research` line whose first two are `item`
    None,             // no KeeperFX equivalent
};

// Where KeeperFX keeps one slot.
struct Place {
    std::string_view file;    // relative to the install folder, '/' separated
    std::string_view section; // without brackets
    std::string_view key;
    std::string_view item; // the word of WordPresent/WordAbsent; a research line's name
    int index = -1;        // place in a list, from 0; -1 for the whole value
    Encoding encoding = Encoding::Number;
    std::string_view alsoSection; // a second section of the same file and key
    bool alsoGrowUp = false;      // also GrowUp's first entry while the creature grows up
};

const Place& placeOf(int record);

// KeeperFX's names, by number (0 is NULL in every table but the job bits', where the
// names stand for bits 1, 2, ... from index 1).
namespace places_data {
extern const std::array<Place, kSlotCount> kPlaces;
extern const std::array<std::string_view, 31> kCreatureNames;
extern const std::array<std::string_view, 16> kJobNames;
extern const std::array<std::string_view, 9> kAngerJobNames;
extern const std::array<std::string_view, 41> kInstanceNames;
extern const std::array<std::string_view, 17> kRoomNames;
extern const std::array<std::string_view, 3> kAttackPreferences;
} // namespace places_data

} // namespace tavrel::keeperfx
