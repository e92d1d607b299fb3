#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/bounds.h"

// The rules of the manual input box: how typed text is read as a number, how the
// box's text is kept a clean number inside the edited slot's bounds while the user
// types, and how the box follows the slot's value.
//
// Every function here is pure and total: any byte string (empty, binary, megabytes
// long, with absurd exponents) is accepted, nothing throws, nothing has undefined
// behaviour, and the work is linear in the length of the text. Readings are always
// finite doubles.

namespace tavrel {

// The number a text begins with. Blanks, tabs and line feeds are removed first
// wherever they stand. Then: an optional sign, digits with at most one decimal
// point, an optional exponent (e or E, optional sign, digits); or "&H" followed by
// hexadecimal digits or "&O" followed by octal digits (either case), read as a
// non-negative number. Reading stops at the first character that does not fit;
// a text that does not begin with a number reads as 0. A magnitude beyond the
// double range reads as the largest finite double of that sign, one below the
// smallest positive double as 0. Negative zero reads as 0.
double numericReading(std::string_view text);

// True when the text, blanks, tabs and line feeds aside, is one number and nothing
// else: numericReading uses all of it and finds at least one digit. "12", "-2.5",
// "1e3" and "&HFF" are numbers; "", "abc", "12abc", "1,234" and "12e" are not.
bool isNumberText(std::string_view text);

// The text the box shows for a reading: plain digits with a leading minus when
// negative; a fraction keeps its decimal point ("2.5", "0.1"), never an exponent.
// It is the shortest such text that reads back as the same number, so
// numericReading(textOfReading(x)) == x for every finite x. NaN gives "0" and an
// infinity the text of the largest finite double of its sign.
std::string textOfReading(double reading);

// A reading rounded to the nearest whole number, a half going to the even
// neighbour (2.5 gives 2, 3.5 gives 4, -2.5 gives -2), saturated at the signed
// 32-bit ends. NaN gives 0.
std::int32_t wholeNumberOf(double reading);

// wholeNumberOf(numericReading(text)).
std::int32_t wholeNumberReading(std::string_view text);

// The input box: its text and the whole number it held after the last fill or the
// last checked change (the program's InputLastValue).
struct InputBox {
    std::string text = "0";
    std::int32_t lastValue = 0;
    friend bool operator==(const InputBox&, const InputBox&) = default;
};

// Sets the box's text to `newText`, as typing or the program does. When the text
// differs from what the box held, the change rule runs:
//   1. the text becomes the text of its reading; that replacement is a change in
//      its own right and runs the rule again, nested, before the steps below, which
//      then read whatever text the nested run left;
//   2. when the reading went below lastValue: a slot with lower bound 1 shows "1"
//      for a reading below 1, then any reading below 0 shows "0";
//   3. when the reading went above lastValue and above the upper bound, the text
//      becomes the upper bound;
//   4. lastValue becomes the whole-number reading of the text.
// Each step reads the text afresh, and every replacement of steps 2 and 3 runs the
// rule nested as well; the nesting is at most a few levels deep. `bounds` is empty
// when the box edits no slot: then no upper bound applies and only "below 0 gives
// 0" remains of the lower bound.
void changeInputText(InputBox& box, std::string_view newText,
                     const std::optional<ValueBounds>& bounds);

// Brings the box in step with the value of the slot it edits: with a value, sets the
// text to its decimal text (a change like typing, see changeInputText); in every
// case lastValue then becomes the whole-number reading of the text. `value` is empty
// when no slot has been chosen yet.
void syncInputBox(InputBox& box, std::optional<std::int32_t> value,
                  const std::optional<ValueBounds>& bounds);

} // namespace tavrel
