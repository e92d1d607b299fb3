#pragma once

#include <string_view>
#include <vector>

#include "core/settings_store.h"

// The six table screens differ only in what they show where. Each is described here
// as data (frames, headings, row captions, notes, and the slot of every cell);
// SettingsScreen builds and runs any of them.

namespace tavrel::screens {

// A heading standing over several neighbouring value columns (0-based, inclusive).
struct ColumnSpan {
    std::string_view heading;
    int first = 0;
    int last = 0;
};

// One row of a frame's grid.
struct GridRow {
    std::string_view caption;    // empty on the second row of a two-row group
    std::vector<int> cells;      // one slot per column; 0 is an empty cell
    bool startsGroup = true;     // a lined grid draws a line above it
    bool gapBefore = false;      // stands apart from the rows above
    std::string_view noteBefore; // a line of text above the row, after a gap
};

struct FrameLayout {
    std::string_view title;
    int place = 0;                          // 0: the left stack of frames, 1: the right stack
    std::vector<std::string_view> headings; // one per value column; may be empty
    std::vector<ColumnSpan> spans;
    std::vector<GridRow> rows;
    bool lined = false;                  // thin lines between columns and groups
    std::vector<std::string_view> notes; // a frame of text only
};

struct ScreenLayout {
    Category category = Category::Room;
    std::string_view title;
    std::vector<FrameLayout> frames;
};

// The layout of a category's screen (room to miscellaneous).
const ScreenLayout& screenLayout(Category category);

} // namespace tavrel::screens
