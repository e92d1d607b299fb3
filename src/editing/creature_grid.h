#pragma once

#include <array>
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
// an unknown name and an empty text are refused.
std::optional<std::int32_t> cellValue(int kind, int field, std::int32_t current,
                                      std::string_view text);

// A value times `percent` / 100, taken as if typed over the value: rounded half to
// even and held at the bound in the direction of the change.
std::int32_t scaledValue(std::int32_t value, double percent, int kind, int field);

// Rows in the picker's order, or sorted by one column's values (numbers as numbers,
// names alphabetically before unnamed numbers); equal values stay in picker order.
enum class SortOrder { Picker, Ascending, Descending };
std::vector<int> sortedKinds(const ValueSet& values, int field, SortOrder order);

// Tab-separated text as spreadsheets write it: lines end in LF or CR LF, a cell in
// double quotes may hold tabs, line ends and doubled quotes. A last empty line is
// no row.
using TsvTable = std::vector<std::vector<std::string>>;
TsvTable parseTsv(std::string_view text);
std::string toTsv(const TsvTable& table);

// The corner cell of a block copied with its headers.
inline constexpr std::string_view kCornerHeading = "Creature";

// A block of the grid as a table: the rows `kinds` by the columns `columns` (indices
// into gridColumns()). With headers, a first line of captions and the creature's
// screen name before each line; with `names`, encoded cells as their names, else
// every cell as its number.
TsvTable gridBlock(const ValueSet& values, const std::vector<int>& kinds,
                   const std::vector<int>& columns, bool headers, bool names);

// One cell of a paste: the slot it goes to (kind 0: outside the grid, or a header
// that names no creature or column) and the text for it.
struct PasteCell {
    int kind = 0;
    int field = 0;
    std::string text;
};

// Where a pasted table goes, starting at view row `top` and column `left` of a grid
// whose rows show `rowKinds`. A table copied with its headers (corner "Creature")
// goes by its names instead: each line to the creature it names, each cell to the
// column its heading names, wherever they stand in the grid now.
std::vector<PasteCell> pasteCells(const TsvTable& table, const std::vector<int>& rowKinds, int top,
                                  int left);

struct PasteOutcome {
    ValueSet values{};
    int changed = 0; // values that differ afterwards
    int refused = 0; // cells that changed nothing
    std::optional<PasteCell> firstRefused;
};
PasteOutcome applyPaste(const ValueSet& values, const std::vector<PasteCell>& cells);

struct ScaleOutcome {
    ValueSet values{};
    int changed = 0;
    int skipped = 0; // encoded cells, left alone
};
// Scales the number cells (kind, field) by `percent`.
ScaleOutcome applyScale(const ValueSet& values, const std::vector<std::pair<int, int>>& cells,
                        double percent);

// The status texts: "Paste: 16 values changed, 1 cell refused (first: Dragon,
// Health "abc")." and "Scale 110 %: 17 values changed, 2 encoded cells left alone."
std::string pasteSummary(const PasteOutcome& outcome);
std::string scaleSummary(double percent, const ScaleOutcome& outcome);

} // namespace tavrel
