#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "keeperfx/places.h"

namespace tavrel::keeperfx {

// A number word as KeeperFX writes it: an optional sign and digits, within 32 bits.
std::optional<std::int32_t> parseNumber(std::string_view word);
bool hasNumber(const std::vector<std::string>& words);

// A word as KeeperFX reads most numbers: an optional sign and the digits up to the first
// other character (`100;note` is 100, `1e3` is 1, `abc` is 0), held within 32 bits.
std::int32_t leadingNumber(std::string_view word);
// A word as KeeperFX reads a number in its named fields (numbered blocks other than
// spells and instances, and the blocks of rules.cfg but its research list): only `-`
// and digits make a number; anything else is nullopt, which KeeperFX takes as 0.
std::optional<std::int32_t> strictNumber(std::string_view word);
bool readsStrictly(const Place& place);

// The percentage KeeperFX's FearWounded holds for a Fear of 0..255, and back: the
// smallest Fear that gives the percentage; above 100 (every percentage from 101 on makes
// a creature afraid of every other kind) the Fear 255; nullopt for a percentage no Fear
// gives.
int fearPercent(std::int32_t fear);
std::optional<std::int32_t> fearOfPercent(std::int32_t percent);

// Whether KeeperFX has words for the value at this place.
bool encodable(const Place& place, std::int32_t value);

// The value the words of the place's key (for research, its `Research` line) give the
// slot; nullopt when they give none the editor can hold.
std::optional<std::int32_t> decodeSlot(const Place& place, const std::vector<std::string>& words);

// Whether the slot's place holds a word that gives it no value the editor can hold (a
// name KeeperFX has beyond the game's, say), as opposed to no word at all.
bool holdsForeignWord(const Place& place, const std::vector<std::string>& words);

// Puts an encodable value into the words of its key. Words the slot does not own (other
// property words, jobs KeeperFX has beyond the game's) keep their places; words that
// already give the value are left exactly as they are.
void encodeSlot(const Place& place, std::int32_t value, std::vector<std::string>& words);

} // namespace tavrel::keeperfx
