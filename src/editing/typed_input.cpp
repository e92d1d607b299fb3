#include "editing/typed_input.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace tavrel {

namespace {

constexpr double kLargest = std::numeric_limits<double>::max();
// Exponents are accumulated only up to here: far beyond any double, and far below
// overflow of the 64-bit sums made with it.
constexpr std::int64_t kExponentCap = 1'000'000'000;

bool isSkipped(char c) {
    return c == ' ' || c == '\t' || c == '\n';
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

int hexDigit(char c) {
    if (isDigit(c))
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Walks a text as if its blanks, tabs and line feeds were not there.
class Cursor {
public:
    explicit Cursor(std::string_view text) : text_(text) { skip(); }
    bool atEnd() const { return pos_ >= text_.size(); }
    char peek() const { return atEnd() ? '\0' : text_[pos_]; }
    void next() {
        ++pos_;
        skip();
    }

private:
    void skip() {
        while (pos_ < text_.size() && isSkipped(text_[pos_]))
            ++pos_;
    }
    std::string_view text_;
    std::size_t pos_ = 0;
};

double readRadix(Cursor& cursor, int radix, bool& seenDigit) {
    double value = 0;
    for (;;) {
        const int digit = hexDigit(cursor.peek());
        if (digit < 0 || digit >= radix)
            break;
        value = value > kLargest / radix ? kLargest : value * radix + digit;
        seenDigit = true;
        cursor.next();
    }
    return value;
}

double readDecimal(Cursor& cursor, bool& seenDigit) {
    // The accepted characters (digits, one point, exponent) are gathered without the
    // skipped blanks and handed to the locale-free standard conversion.
    std::string number;
    std::int64_t integerDigits = 0; // significant digits before the point
    std::int64_t leadingZeros = 0;  // zeros after the point before the first other digit
    bool seenPoint = false;
    bool seenNonZero = false;
    for (char c = cursor.peek(); isDigit(c) || (c == '.' && !seenPoint); c = cursor.peek()) {
        if (c == '.') {
            seenPoint = true;
        } else {
            seenDigit = true;
            if (c != '0')
                seenNonZero = true;
            if (!seenPoint && seenNonZero)
                ++integerDigits;
            if (seenPoint && !seenNonZero)
                ++leadingZeros;
        }
        number.push_back(c);
        cursor.next();
    }
    if (!seenDigit)
        return 0;

    std::int64_t exponent = 0;
    if (cursor.peek() == 'e' || cursor.peek() == 'E') {
        // Only an exponent with digits belongs to the number; "12e" reads as 12.
        Cursor look = cursor;
        look.next();
        bool negative = false;
        if (look.peek() == '+' || look.peek() == '-') {
            negative = look.peek() == '-';
            look.next();
        }
        if (isDigit(look.peek())) {
            while (isDigit(look.peek())) {
                if (exponent < kExponentCap)
                    exponent = exponent * 10 + (look.peek() - '0');
                look.next();
            }
            if (exponent > kExponentCap)
                exponent = kExponentCap;
            if (negative)
                exponent = -exponent;
            cursor = look;
        }
    }
    if (!seenNonZero)
        return 0;
    number += 'e';
    number += std::to_string(exponent);

    double value = 0;
    const auto result = std::from_chars(number.data(), number.data() + number.size(), value,
                                        std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range) {
        // Out of range either way: the position of the first significant digit tells
        // overflow from underflow.
        const std::int64_t magnitude =
            (integerDigits > 0 ? integerDigits : -leadingZeros) + exponent;
        return magnitude > 0 ? kLargest : 0.0;
    }
    return result.ec == std::errc{} ? value : 0.0;
}

// Reads the number at the cursor and leaves the cursor after it; `seenDigit` tells
// whether the number had a digit at all.
double readNumber(Cursor& cursor, bool& seenDigit) {
    if (cursor.peek() == '&') {
        cursor.next();
        const char kind = cursor.peek();
        if (kind == 'h' || kind == 'H') {
            cursor.next();
            return readRadix(cursor, 16, seenDigit);
        }
        if (kind == 'o' || kind == 'O') {
            cursor.next();
            return readRadix(cursor, 8, seenDigit);
        }
        return 0;
    }
    bool negative = false;
    if (cursor.peek() == '+' || cursor.peek() == '-') {
        negative = cursor.peek() == '-';
        cursor.next();
    }
    const double magnitude = readDecimal(cursor, seenDigit);
    // 0 - 0 would be negative zero; a reading of zero is always plain 0.
    return magnitude == 0 ? 0.0 : (negative ? -magnitude : magnitude);
}

std::string decimalText(std::int32_t value) {
    return std::to_string(value);
}

constexpr int kMaxNesting = 16; // the rule nests at most four deep; this is a safety net

void runChangeRule(InputBox& box, const std::optional<ValueBounds>& bounds, int depth);

void setText(InputBox& box, std::string_view text, const std::optional<ValueBounds>& bounds,
             int depth) {
    if (box.text == text)
        return;
    box.text.assign(text);
    if (depth < kMaxNesting)
        runChangeRule(box, bounds, depth + 1);
}

void runChangeRule(InputBox& box, const std::optional<ValueBounds>& bounds, int depth) {
    setText(box, textOfReading(numericReading(box.text)), bounds, depth);

    if (numericReading(box.text) < box.lastValue) {
        if (bounds && bounds->lower == 1 && numericReading(box.text) < 1)
            setText(box, "1", bounds, depth);
        if (numericReading(box.text) < 0)
            setText(box, "0", bounds, depth);
    }

    const double reading = numericReading(box.text);
    if (bounds && reading > box.lastValue && reading > bounds->upper)
        setText(box, decimalText(bounds->upper), bounds, depth);

    box.lastValue = wholeNumberReading(box.text);
}

} // namespace

double numericReading(std::string_view text) {
    Cursor cursor(text);
    bool seenDigit = false;
    return readNumber(cursor, seenDigit);
}

bool isNumberText(std::string_view text) {
    Cursor cursor(text);
    bool seenDigit = false;
    readNumber(cursor, seenDigit);
    return seenDigit && cursor.atEnd();
}

std::string textOfReading(double reading) {
    if (std::isnan(reading) || reading == 0)
        return "0";
    if (std::isinf(reading))
        reading = reading > 0 ? kLargest : -kLargest;
    // The longest fixed text of a double is the smallest subnormal: 326 characters.
    char buffer[400];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, reading, std::chars_format::fixed);
    return std::string(buffer, result.ptr);
}

std::int32_t wholeNumberOf(double reading) {
    constexpr double kMin = std::numeric_limits<std::int32_t>::min();
    constexpr double kMax = std::numeric_limits<std::int32_t>::max();
    if (std::isnan(reading))
        return 0;
    if (reading >= kMax)
        return std::numeric_limits<std::int32_t>::max();
    if (reading <= kMin)
        return std::numeric_limits<std::int32_t>::min();
    const double below = std::floor(reading);
    const double fraction = reading - below; // exact in this range
    double rounded = below;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(below, 2.0) != 0))
        rounded = below + 1;
    return static_cast<std::int32_t>(rounded);
}

std::int32_t wholeNumberReading(std::string_view text) {
    return wholeNumberOf(numericReading(text));
}

void changeInputText(InputBox& box, std::string_view newText,
                     const std::optional<ValueBounds>& bounds) {
    setText(box, newText, bounds, 0);
}

void syncInputBox(InputBox& box, std::optional<std::int32_t> value,
                  const std::optional<ValueBounds>& bounds) {
    if (value)
        changeInputText(box, decimalText(*value), bounds);
    box.lastValue = wholeNumberReading(box.text);
}

} // namespace tavrel
