// Any clipboard text pasted on any selection of the Compare Creatures grid, the text
// repeated up to past the paste's limit: the paste holds no more cells than the grid
// with its headings and no more text than it was given, a text over the limit is
// refused unread, every value it changes stays within its slot's bound in the
// direction of the change, and the status stays short and, for UTF-8 text, UTF-8.

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/bounds.h"
#include "editing/creature_grid.h"
#include "fuzz_support.h"

namespace tavrel {
namespace {

using fuzz::check;

bool validUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80       ? 1
                                   : lead >> 5 == 6  ? 2
                                   : lead >> 4 == 14 ? 3
                                   : lead >> 3 == 30 ? 4
                                                     : 0;
        if (length == 0 || i + length > text.size())
            return false;
        for (std::size_t next = 1; next < length; ++next)
            if ((static_cast<unsigned char>(text[i + next]) & 0xC0) != 0x80)
                return false;
        i += length;
    }
    return true;
}

// A rectangle of the grid, or the whole of it.
PasteTarget targetOf(FuzzedDataProvider& in, const ValueSet& values) {
    PasteTarget target{sortedKinds(values, 0, SortOrder::Picker), {}};
    const int top = in.ConsumeIntegralInRange(0, kCreatureKinds - 1);
    const int left = in.ConsumeIntegralInRange(0, kCreatureFields - 1);
    const int bottom = in.ConsumeIntegralInRange(top, kCreatureKinds - 1);
    const int right = in.ConsumeIntegralInRange(left, kCreatureFields - 1);
    for (int row = top; row <= bottom; ++row)
        for (int column = left; column <= right; ++column)
            target.selected.emplace_back(row, column);
    return target;
}

} // namespace
} // namespace tavrel

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tavrel;
    FuzzedDataProvider in(data, size);
    const ValueSet values = fuzz::markedValues(in.ConsumeIntegral<std::uint8_t>());
    const PasteTarget target = targetOf(in, values);
    const int repeats = 1 << in.ConsumeIntegralInRange(0, 20);
    const std::string unit = in.ConsumeRemainingBytesAsString();
    std::string text;
    text.reserve(std::min(unit.size() * static_cast<std::size_t>(repeats),
                          kPasteTextLimit + unit.size() + 1));
    for (int i = 0; i < repeats && text.size() <= kPasteTextLimit; ++i)
        text += unit;

    const PasteTable read = readPaste(text);
    if (text.size() > kPasteTextLimit)
        check(!read.refusal.empty() && read.table.empty(), "a text over the limit was read");
    check(read.table.size() <= kPasteLimits.lines, "a paste holds more lines than the grid");
    std::size_t held = 0;
    for (const auto& line : read.table) {
        check(line.size() <= kPasteLimits.cells, "a paste holds a line longer than the grid");
        check(line.empty() || !line.back().empty(), "a line ends in an empty cell");
        for (const std::string& cell : line)
            held += cell.size();
    }
    check(held <= text.size(), "a paste holds more text than it was given");

    const PastePlan plan = planPaste(read.table, target);
    check(plan.cells.size() <=
              std::max(kPasteLimits.lines * kPasteLimits.cells, target.selected.size()),
          "a paste places more cells than the grid holds");
    const PasteOutcome outcome = applyPaste(values, plan);
    int changed = 0;
    for (int record = 1; record <= kCreatureKinds * kCreatureFields; ++record) {
        const auto at = static_cast<std::size_t>(record - 1);
        const std::int32_t before = values[at];
        const std::int32_t after = outcome.values[at];
        changed += before != after;
        const ValueBounds bounds = boundsOf(slotOfRecord(record));
        check(after <= before || after <= bounds.upper, "a paste passed an upper bound");
        check(after >= before || after >= bounds.lower, "a paste passed a lower bound");
    }
    check(changed == outcome.changed, "the count of changed values is wrong");
    const std::string summary = pasteSummary(outcome);
    check(summary.size() <= 1000, "the status is long");
    check(!validUtf8(text) || validUtf8(summary), "the status cuts a character");
    return 0;
}
