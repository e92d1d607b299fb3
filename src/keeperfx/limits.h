#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/settings_store.h"
#include "keeperfx/places.h"

namespace tavrel::keeperfx {

// KeeperFX keeps some numbers in fields narrower than a 32-bit number: a value beyond the
// field wraps round it (its creature fields, stored as they are read) or is held at its
// end (fields read through its named-field tables).
enum class Overflow : std::uint8_t { Wraps, Held };

struct FieldLimit {
    std::int32_t lowest = 0;
    std::int32_t highest = 0;
    Overflow overflow = Overflow::Wraps;
};

// The limit of the field behind a place whose number KeeperFX keeps in fewer than 32
// bits; nullopt where it keeps every number the editor can hold.
std::optional<FieldLimit> limitOf(const Place& place);

// What KeeperFX plays for a number written at the place.
std::int32_t playedValue(const Place& place, std::int32_t written);
std::optional<std::int32_t> playedValue(const Place& place, std::optional<std::int32_t> written);

// Whether KeeperFX plays the number as written.
bool fitsKeeperFx(const Place& place, std::int32_t value);

// The largest value KeeperFX plays at the slot's place, where its number stands as it is
// (for editing the values read from KeeperFX); nullopt where the slot's words are names,
// flags or another encoding, or KeeperFX has no place for it.
std::optional<std::int32_t> keeperFxHighest(int record);

// Why the value cannot go into KeeperFX's files at the slot named `name` for KeeperFX's
// limit, naming the limit; empty when the limit is no reason. A factory value is never
// refused: it goes in as KeeperFX plays it (see heldFactoryValue).
std::string limitRefusal(int record, std::int32_t value, std::string_view name);

// The value the mod writes for the slot: the value itself, or, for a factory value beyond
// KeeperFX's limit, the value KeeperFX plays for it.
std::int32_t heldFactoryValue(int record, std::int32_t value);

// The note of an apply that wrote a factory value as KeeperFX plays it.
std::string heldFactoryNote(int record, std::int32_t value);

// KeeperFX's keeper powers have a tenth level the game file lacks. A `Power` line of nine
// values copies its ninth into the tenth; an edited ninth level takes the tenth with it.
inline constexpr std::string_view kTenthLevelNote =
    "KeeperFX gives each keeper power a tenth level, which CREATURE.TXT does not have. When "
    "you change a power's ninth level, its tenth level becomes the same, as KeeperFX does "
    "itself for a line of nine values; a power whose ninth level you leave alone keeps "
    "KeeperFX's own tenth.";

// After the ninth level of a power's `Power` words was written: the tenth follows it.
void tenthFollowsNinth(const Place& place, std::vector<std::string>& words);

} // namespace tavrel::keeperfx
