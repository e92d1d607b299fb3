// Any sequence of texts typed into the manual input box, with the box refilled from
// arbitrary slot values in between: whatever is typed, the value Enter would store stays
// within the slot's bound in the direction of the change, or is the value the box held
// before; the box always shows a clean number that reads as that value; and reading a
// number's text gives the number back.

#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "core/bounds.h"
#include "core/settings_store.h"
#include "editing/typed_input.h"
#include "fuzz_support.h"

namespace tavrel {
namespace {

using fuzz::check;

// The slot the dialog edits, or none before the first click on a value.
std::optional<ValueBounds> pickBounds(FuzzedDataProvider& in) {
    const int code = in.ConsumeIntegralInRange(0, 7);
    if (code == 0)
        return std::nullopt;
    const auto category = static_cast<Category>(code);
    if (category == Category::Creature)
        return boundsOf(SlotRef::creature(in.ConsumeIntegralInRange(1, kCreatureKinds),
                                          in.ConsumeIntegralInRange(1, kCreatureFields)));
    return boundsOf(SlotRef::of(category, in.ConsumeIntegralInRange(1, slotCount(category))));
}

void checkBox(const InputBox& box) {
    const double reading = numericReading(box.text);
    check(textOfReading(reading) == box.text, "the box does not show a clean number");
    check(box.lastValue == wholeNumberReading(box.text),
          "the remembered value is not the one the box shows");
}

// Only the bound of the direction of the change applies; a value that does not move is
// always allowed.
void checkChange(std::int32_t before, std::int32_t after,
                 const std::optional<ValueBounds>& bounds) {
    if (after < before) {
        const std::int32_t lower = bounds ? bounds->lower : 0;
        check(after >= lower, "a value typed lower passed the lower bound");
    } else if (after > before && bounds) {
        check(after <= bounds->upper, "a value typed higher passed the upper bound");
    }
}

} // namespace
} // namespace tavrel

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tavrel;
    // Any text as a whole: a finite reading whose own text reads back exactly.
    const double whole = numericReading(fuzz::bytesOf(data, size));
    check(std::isfinite(whole), "a reading is not a finite number");
    check(numericReading(textOfReading(whole)) == whole, "a reading's text reads differently");

    FuzzedDataProvider in(data, size);
    const std::optional<ValueBounds> bounds = pickBounds(in);
    InputBox box;
    syncInputBox(box, in.ConsumeIntegral<std::int32_t>(), bounds);
    checkBox(box);
    while (in.remaining_bytes() > 0) {
        if (in.ConsumeIntegralInRange(0, 7) == 0) {
            // The slot changed on a screen (or no slot is chosen) and the box follows it.
            const std::optional<std::int32_t> value =
                in.ConsumeBool() ? std::optional(in.ConsumeIntegral<std::int32_t>()) : std::nullopt;
            syncInputBox(box, value, bounds);
            checkBox(box);
            continue;
        }
        const std::string typed = in.ConsumeRandomLengthString(64);
        const std::int32_t before = box.lastValue;
        changeInputText(box, typed, bounds);
        checkBox(box);
        checkChange(before, box.lastValue, bounds);
    }
    return 0;
}
