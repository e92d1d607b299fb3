#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "core/bounds.h"
#include "editing/typed_input.h"

namespace tavrel {
namespace {

constexpr double kLargest = std::numeric_limits<double>::max();
constexpr std::int32_t kInt32Max = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kInt32Min = std::numeric_limits<std::int32_t>::min();

// Only blanks, tabs and line feeds are dropped from inside a number.
TEST(TypedInput, NumericReadingTakesTheLeadingNumber) {
    const std::vector<std::pair<std::string_view, double>> cases = {{"", 0},
                                                                    {"12abc", 12},
                                                                    {"abc", 0},
                                                                    {"007", 7},
                                                                    {" 1 2\t3\n4", 1234},
                                                                    {"1\r2", 1},
                                                                    {"-5", -5},
                                                                    {"--5", 0},
                                                                    {"2.5", 2.5},
                                                                    {"1.2.3", 1.2},
                                                                    {"1e3", 1000},
                                                                    {"15e-1", 1.5},
                                                                    {"12e", 12},
                                                                    {"&HFF", 255},
                                                                    {"&O17", 15},
                                                                    {"&o8", 0},
                                                                    {"-&H10", 0},
                                                                    {"&HFFFFFFFF", 4294967295.0},
                                                                    {"1e400", kLargest},
                                                                    {"1e-400", 0},
                                                                    {"0e999999999999999", 0}};
    for (const auto& c : cases)
        EXPECT_EQ(numericReading(c.first), c.second) << c.first;
    EXPECT_FALSE(std::signbit(numericReading("-0")));
    EXPECT_FALSE(std::signbit(numericReading("-1e-400")));
}

TEST(TypedInput, WholeNumberGoesHalfToEvenAndSaturates) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::pair<double, std::int32_t> cases[] = {{2.5, 2},
                                                     {3.5, 4},
                                                     {-2.5, -2},
                                                     {2.5000001, 3},
                                                     {1e10, kInt32Max},
                                                     {2147483647.4, kInt32Max},
                                                     {-2147483648.6, kInt32Min},
                                                     {nan, 0}};
    for (const auto& [reading, whole] : cases)
        EXPECT_EQ(wholeNumberOf(reading), whole) << reading;
    EXPECT_EQ(wholeNumberReading("3.5abc"), 4);
}

TEST(TypedInput, HugeAndHostileTextIsRead) {
    const std::string digits(10'000'000, '7');
    EXPECT_EQ(numericReading(digits), kLargest);
    EXPECT_EQ(numericReading("1e" + digits), kLargest);
    EXPECT_EQ(numericReading("&H" + digits), kLargest);
    // Ten million zeros after the point, undone by the exponent.
    EXPECT_EQ(numericReading("0." + std::string(10'000'000, '0') + "1e10000005"), 10000);

    InputBox box;
    changeInputText(box, digits, boundsOf(SlotRef::of(Category::Room, 2)));
    EXPECT_EQ(box.text, "65535");
}

// A box as the case tables write it: no std::string in them, whose long texts some compilers'
// flow analysis of large tables takes for uninitialised.
struct Box {
    std::string_view text;
    std::int32_t lastValue;
};

SlotRef room(int slot) {
    return SlotRef::of(Category::Room, slot);
}

TEST(TypedInput, ChangeRuleCleansAndBoundsTheText) {
    const std::optional<ValueBounds> none;
    const auto bounds = [](SlotRef ref) { return std::optional<ValueBounds>(boundsOf(ref)); };
    const SlotRef cost = room(2), health = room(3);
    const SlotRef shots = SlotRef::of(Category::TrapDoor, 2);
    struct Case {
        const char* what;
        std::optional<ValueBounds> bounds;
        Box before;
        std::string_view typed;
        Box after;
    } cases[] = {
        {"letters after a number", bounds(cost), {"1", 1}, "12abc", {"12", 12}},
        {"letters alone", bounds(cost), {"5", 5}, "abc", {"0", 0}},
        {"leading zeros", bounds(cost), {"0", 0}, "007", {"7", 7}},
        {"70000 into 65535 going up", bounds(cost), {"100", 100}, "70000", {"65535", 65535}},
        {"70000 down from a file's", bounds(cost), {"80000", 80000}, "70000", {"70000", 70000}},
        {"cleared Health box", bounds(health), {"100", 100}, "", {"1", 1}},
        {"-5 into lower 0", bounds(cost), {"3", 3}, "-5", {"0", 0}},
        {"-5 into lower 1", bounds(health), {"3", 3}, "-5", {"1", 1}},
        {"0 into the heart's Health", bounds(room(12)), {"1300", 1300}, "0", {"1", 1}},
        {"2.5 stays, holds 2", bounds(cost), {"0", 0}, "2.5", {"2.5", 2}},
        {"3.5 stays, holds 4", bounds(cost), {"0", 0}, "3.5", {"3.5", 4}},
        {"0.5 down in a Health box", bounds(health), {"3", 3}, "0.5", {"1", 1}},
        {"0.4 up in a Health box is not lifted", bounds(health), {"0", 0}, "0.4", {"0.4", 0}},
        {"300 into Shots", bounds(shots), {"10", 10}, "300", {"255", 255}},
        {"no target: no upper bound", none, {"0", 0}, "99999999", {"99999999", 99999999}},
        {"no target: still not below 0", none, {"0", 0}, "-5", {"0", 0}},
        {"1e20 written out", none, {"0", 0}, "1e20", {"100000000000000000000", 2147483647}},
        {"unchanged text runs nothing", bounds(cost), {"5", 9}, "5", {"5", 9}}};
    for (const auto& c : cases) {
        InputBox box{std::string(c.before.text), c.before.lastValue};
        changeInputText(box, c.typed, c.bounds);
        EXPECT_EQ(box.text, c.after.text) << c.what;
        EXPECT_EQ(box.lastValue, c.after.lastValue) << c.what;
    }
}

TEST(TypedInput, SyncFillsTheBoxUnderTheChangeRule) {
    const auto bounds = [](SlotRef ref) { return std::optional<ValueBounds>(boundsOf(ref)); };
    struct Case {
        const char* what;
        std::optional<ValueBounds> bounds;
        Box before;
        std::optional<std::int32_t> value;
        Box after;
    } cases[] = {
        {"above the bound, coming up", bounds(room(2)), {"0", 0}, 70000, {"65535", 65535}},
        {"above the bound, going down", bounds(room(2)), {"80000", 80000}, 70000, {"70000", 70000}},
        {"below lower 1, coming down", bounds(room(3)), {"5", 5}, 0, {"1", 1}},
        {"negative, coming down", bounds(room(2)), {"3", 3}, -20, {"0", 0}},
        {"no target keeps the text", std::nullopt, {"2.5", 7}, std::nullopt, {"2.5", 2}}};
    for (const auto& c : cases) {
        InputBox box{std::string(c.before.text), c.before.lastValue};
        syncInputBox(box, c.value, c.bounds);
        EXPECT_EQ(box.text, c.after.text) << c.what;
        EXPECT_EQ(box.lastValue, c.after.lastValue) << c.what;
    }
}

} // namespace
} // namespace tavrel
