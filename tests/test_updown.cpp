// The weeks spin control's rule: which buddy texts it takes up, and how it
// steps and clamps within 1 to 42.

#include "form/updown.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace meravel {
namespace {

constexpr int kLower = 1;
constexpr int kUpper = 42;

struct WholeNumberCase
{
    const char *name;
    const char *text;
    std::optional<int> expected;
};

const WholeNumberCase kWholeNumberCases[] = {
    {"lowest", "1", 1},
    {"highest", "42", 42},
    {"middle", "20", 20},
    {"leading zero", "01", 1},
    {"leading zero on highest", "042", 42},
    {"many leading zeros", "0000000000000000000000007", 7},
    {"zero", "0", std::nullopt},
    {"zeros only", "0000", std::nullopt},
    {"just above", "43", std::nullopt},
    {"fifty", "50", std::nullopt},
    {"empty", "", std::nullopt},
    {"inner space", "4 2", std::nullopt},
    {"leading space", " 4", std::nullopt},
    {"trailing space", "4 ", std::nullopt},
    {"plus sign", "+5", std::nullopt},
    {"minus sign", "-1", std::nullopt},
    {"decimal point", "2.0", std::nullopt},
    {"arabic-indic digit", "\xd9\xa3", std::nullopt},
    {"too long for int", "99999999999999999999", std::nullopt},
    {"int maximum", "2147483647", std::nullopt},
};

TEST(UpDownState, WholeNumberInRange)
{
    for (const WholeNumberCase &row : kWholeNumberCases) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(UpDownState::WholeNumberInRange(row.text, kLower, kUpper), row.expected);
    }
}

UpDownState WeeksSpin(int position)
{
    UpDownState spin;
    spin.SetRange(kLower, kUpper);
    spin.SetPos(position);
    return spin;
}

struct GetPosCase
{
    const char *name;
    int startPosition;
    const char *text;
    int expected;
};

const GetPosCase kGetPosCases[] = {
    {"valid text taken up", 2, "20", 20},
    {"highest taken up", 2, "42", 42},
    {"leading zeros taken up", 2, "07", 7},
    {"zero keeps last", 20, "0", 20},
    {"beyond range keeps last", 20, "50", 20},
    {"empty keeps last", 20, "", 20},
    {"letters keep last", 5, "abc", 5},
};

TEST(UpDownState, GetPosTakesUpValidTextOnly)
{
    for (const GetPosCase &row : kGetPosCases) {
        SCOPED_TRACE(row.name);
        UpDownState spin = WeeksSpin(row.startPosition);
        EXPECT_EQ(spin.GetPos(row.text), row.expected);
        EXPECT_EQ(spin.Pos(), row.expected);
    }
}

struct StepCase
{
    const char *name;
    int startPosition;
    const char *text;
    int delta;
    int expected;
};

const StepCase kStepCases[] = {
    {"up from position", 2, "2", 1, 3},
    {"down from position", 2, "2", -1, 1},
    {"down stops at lowest", 1, "1", -1, 1},
    {"up stops at highest", 42, "42", 1, 42},
    {"no wrap past highest", 41, "41", 5, 42},
    {"no wrap past lowest", 3, "3", -5, 1},
    {"from typed text", 2, "30", 1, 31},
    {"from typed text with zeros", 2, "009", -1, 8},
    {"from last position when text is zero", 10, "0", 1, 11},
    {"from last position when text is beyond", 10, "50", -1, 9},
    {"from last position when text is empty", 10, "", 1, 11},
    {"huge delta clamps", 10, "10", 2147483647, 42},
    {"huge negative delta clamps", 10, "10", -2147483647 - 1, 1},
};

TEST(UpDownState, StepClampsWithoutWrapping)
{
    for (const StepCase &row : kStepCases) {
        SCOPED_TRACE(row.name);
        UpDownState spin = WeeksSpin(row.startPosition);
        EXPECT_EQ(spin.Step(row.text, row.delta), row.expected);
        EXPECT_EQ(spin.Pos(), row.expected);
        EXPECT_EQ(spin.PosText(), std::to_string(row.expected));
    }
}

struct ClampCase
{
    const char *name;
    int lower;
    int upper;
    int position;
    int expected;
};

const ClampCase kClampCases[] = {
    {"within", 1, 42, 2, 2},
    {"below", 1, 42, 0, 1},
    {"above", 1, 42, 50, 42},
    {"far below", 1, 42, -2147483647 - 1, 1},
    {"reversed range", 42, 1, 50, 42},
};

TEST(UpDownState, SetPosClamps)
{
    for (const ClampCase &row : kClampCases) {
        SCOPED_TRACE(row.name);
        UpDownState spin;
        spin.SetRange(row.lower, row.upper);
        spin.SetPos(row.position);
        EXPECT_EQ(spin.Pos(), row.expected);
        EXPECT_EQ(spin.Lower(), 1);
        EXPECT_EQ(spin.Upper(), 42);
    }
}

TEST(UpDownState, SetRangeClampsPosition)
{
    UpDownState spin;
    spin.SetRange(0, 100);
    spin.SetPos(80);
    spin.SetRange(kLower, kUpper);
    EXPECT_EQ(spin.Pos(), 42);
    spin.SetPos(1);
    spin.SetRange(10, 20);
    EXPECT_EQ(spin.Pos(), 10);
}

} // namespace
} // namespace meravel
