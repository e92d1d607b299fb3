#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/settings_store.h"

// All creatures side by side: one row per creature kind in the picker's order, one
// column per creature field, grouped by the creature screen's frames. What a cell
// shows, how a typed or pasted text is taken back, and how copying, pasting,
// scaling and sorting work on the whole table.

namespace tavrel {

// The creature screen's captions of its 50 value rows ("Health:", "Level 2:", "1.").
const std::array<const char*, 50>& creatureRowCaptions();

// What the creature screen calls a field, as one caption ("Health", "Training Level
// 2", "Ability 3", "Ability 3 Level", "Primary Jobs", "Can Become Angry").
std::string creatureFieldName(int field);

// The creature screen's frames, in its reading order; they group the columns.
inline constexpr int kGridGroups = 8;
const std::array<std::string_view, kGridGroups>& gridGroups();

struct GridColumn {
    int field;
    int group; // index into gridGroups()
};
// The 75 columns: every field once, frame by frame, each frame in the screen's
// reading order (an ability beside its level, an entrance room beside its size).
const std::array<GridColumn, kCreatureFields>& gridColumns();
// The column of a field.
int gridColumnOf(int field);

// How a field is shown: a plain number, or a name that the creature screen's
// controls give the number.
enum class CellKind { Number, Jobs, AngryJobs, Creature, Room, Ability, Flag, Attack };
CellKind cellKindOf(int field);

// The text of a cell of creature `kind`: a number as its digits; an encoded value as
// its name ("Research, Train", "Lair", "Dragon", "Fireball (P)", "Yes", "Melee", "None"
// for no jobs). A value that no name stands for shows its digits, so that every
// text reads back as the same value.
std::string cellText(int kind, int field, std::int32_t value);

// The value a typed or pasted text gives a cell that holds `current`, or nothing when
// the cell cannot take it. A number goes through the input box's rule from the
// current value (bounds in the direction of the change, half to even); an encoded
// cell also takes its names, in any case ("dig, FIGHT"). Text in a number column,
// an unknown name and an empty text are refused. The bounds are those of values
// from `origin`, as in the rest of this file.
std::optional<std::int32_t> cellValue(int kind, int field, std::int32_t current,
                                      std::string_view text,
                                      RulesOrigin origin = RulesOrigin::GameFile);

// A value times `percent` / 100, taken as if typed over the value: rounded half to
// even and held at the bound in the direction of the change.
std::int32_t scaledValue(std::int32_t value, double percent, int kind, int field,
                         RulesOrigin origin = RulesOrigin::GameFile);

// Rows in the picker's order, or sorted by one column's values (numbers as numbers,
// names alphabetically before unnamed numbers); equal values stay in picker order.
enum class SortOrder { Picker, Ascending, Descending };
std::vector<int> sortedKinds(const ValueSet& values, int field, SortOrder order);

// Tab-separated text as spreadsheets write it: lines end in LF or CR LF, a cell in
// double quotes may hold tabs, line ends and doubled quotes. A last empty line is
// no row. Nothing when a line past `lines`, or a cell past `cells` in its line, holds
// any text: the parse stops there, so that it never holds more than the limits' cells.
using TsvTable = std::vector<std::vector<std::string>>;
struct TsvLimits {
    std::size_t lines = SIZE_MAX;
    std::size_t cells = SIZE_MAX;
};
std::optional<TsvTable> parseTsv(std::string_view text, TsvLimits limits = {});
std::string toTsv(const TsvTable& table);

// The corner cell of a block copied with its headers.
inline constexpr std::string_view kCornerHeading = "Creature";

// A block of the grid as a table: the rows `kinds` by the columns `columns` (indices
// into gridColumns()). With headers, a first line of captions and the creature's
// screen name before each line; with `names`, encoded cells as their names, else
// every cell as its number.
TsvTable gridBlock(const ValueSet& values, const std::vector<int>& kinds,
                   const std::vector<int>& columns, bool headers, bool names);

// The most a paste takes: the grid's cells with a line of headings and a column of
// names, and a text far longer than any such table needs. More is refused before it
// is read into cells, so a paste never holds much more than the grid.
inline constexpr std::size_t kPasteTextLimit = 1'000'000; // bytes
// A cell's text longer than this (bytes) is refused unread: the longest name, every
// job at once, takes a sixth of it. One value filling the whole grid is read 2,250 times.
inline constexpr std::size_t kPasteCellLimit = 1'000;
inline constexpr TsvLimits kPasteLimits = {kCreatureKinds + 1, kCreatureFields + 1};

// A pasted text as a table, or why it is refused. Empty cells at the end of a line
// (a trailing tab) are no cells.
struct PasteTable {
    TsvTable table;
    std::string refusal; // the status text when refused
};
PasteTable readPaste(std::string_view text);
// The refusal of a text longer than kPasteTextLimit, for a caller that knows the
// length before it has the text's bytes.
PasteTable pasteTooLong();

// Where a paste goes: the grid's rows (creature kinds in view order) and the
// selected cells as view (row, column) pairs.
struct PasteTarget {
    std::vector<int> rowKinds;
    std::vector<std::pair<int, int>> selected;
};

// One cell of a paste: the slot it goes to (kind and field), or, with kind 0, why it
// goes nowhere: outside the grid, or under a heading or on a line whose name the grid
// does not know (`name`).
enum class PasteMiss { None, Outside, Heading, Creature };
struct PasteCell {
    int kind = 0;
    int field = 0;
    std::string text;
    PasteMiss miss = PasteMiss::None;
    std::string name;
};

struct PastePlan {
    std::vector<PasteCell> cells;
    bool notUnderHeadings = false; // a headed block went where the user put it
};

// Where each cell of a pasted table goes.
//
// One value pasted on several cells fills all of them, as in a spreadsheet. Any other
// table starts at the selection's top-left cell, line by line down the rows as the
// grid shows them now.
//
// A table may come with headings: a first line whose first cell is "Creature" (the
// corner of a block copied here), with the captions of its columns after it and the
// creature's name at the start of each line below; or a first line made only of
// column captions, above at least one line that is not. Headings decide where the
// cells go only when the user pasted where they point: when the selection's top-left
// cell is the one they name for the block's first value (the column of its first
// caption, and with names the creature of its first line, that the grid knows) -
// except that on whole rows the column does not matter and on whole columns the
// row does not, so that the whole grid always takes a block by its headings. Then
// each cell goes to the column its caption names and to the creature its line names,
// wherever they stand in the grid now; lines without names go down the rows from the
// selection's top. Anywhere else the block, without its headings, goes where the
// user put it, and the plan says so.
PastePlan planPaste(const TsvTable& table, const PasteTarget& target);

// How often something happened in a paste or a scale, and the first time it did, as
// the status names it ("Dragon, Health "many"", "Imp, Luck 12.5 rounded to 12").
struct Tally {
    int count = 0;
    std::string first;
    void add(std::string what);
};

struct PasteOutcome {
    ValueSet values{};
    int changed = 0;       // values that differ afterwards
    Tally refused;         // cells that could not take their text, or outside the grid
    Tally held;            // numbers held at a bound of their cell
    Tally rounded;         // numbers with a fraction, rounded half to even
    Tally unknownHeading;  // cells under a heading that names no column
    Tally unknownCreature; // cells on a line whose name is no creature
    bool notUnderHeadings = false;
};
PasteOutcome applyPaste(const ValueSet& values, const PastePlan& plan,
                        RulesOrigin origin = RulesOrigin::GameFile);

struct ScaleOutcome {
    ValueSet values{};
    int changed = 0;
    int skipped = 0; // encoded cells, left alone
    Tally held;      // results held at a bound of their cell
};
// Scales the number cells (kind, field) by `percent`.
ScaleOutcome applyScale(const ValueSet& values, const std::vector<std::pair<int, int>>& cells,
                        double percent, RulesOrigin origin = RulesOrigin::GameFile);

// The status texts: "Paste: 16 values changed, 1 cell refused (first: Dragon,
// Health "abc"), 1 value held at a bound (first: Imp, Health 70000 held at 65535)."
// and "Scale 110 %: 17 values changed, 2 encoded cells left alone." A pasted text is
// shown cut to 40 characters.
std::string pasteSummary(const PasteOutcome& outcome);
std::string scaleSummary(double percent, const ScaleOutcome& outcome);

} // namespace tavrel
