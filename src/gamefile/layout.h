#pragma once

namespace tavrel::layout {

// A valid CREATURE.TXT holds exactly this many digit runs; the values are found by
// their ordinal among them, not by rows and columns.
inline constexpr int kNumberCount = 5200;

// Digit runs in the creature column headings, before the first creature row.
inline constexpr int kCreatureHeaderNumbers = 35;
// Numbers per creature row: the kind number and 122 more columns.
inline constexpr int kNumbersPerCreatureRow = 123;

// Number position (1..5200) from which the reader takes the slot of a record.
int readPosition(int record);

// Record (1..2680) whose value the writer puts at placeholder n (1..2680).
int placeholderRecord(int placeholder);

} // namespace tavrel::layout
