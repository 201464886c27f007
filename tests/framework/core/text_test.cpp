#include "framework/core/text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

using namespace framework;

namespace {
constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
} // namespace

TEST(TextSlices, GiveOnlyTheCharactersPresent) {
    const Text s = "Hello";
    const std::vector<std::pair<Text, Text>> cases = {
        {Left(s, 2), "He"},     {Left(s, kMax), "Hello"}, {Left(s, 0), ""},
        {Left(s, -1), ""},      {Right(s, 2), "lo"},      {Right(s, kMax), "Hello"},
        {Right(s, kMin), ""},   {Mid(s, 2, 3), "ell"},    {Mid(s, 4, 10), "lo"},
        {Mid(s, 6, 1), ""},     {Mid(s, kMax, kMax), ""}, {Mid(s, 0, 2), "He"},
        {Mid(s, kMin, 1), "H"}, {Mid(s, 2, -1), "ello"},  {Mid(s, 2, 0), ""},
        {Mid(s, 3, -5), "llo"}, {Mid("", 1, 1), ""},      {Mid(s, 5, kMax), "o"}};
    for (std::size_t i = 0; i < cases.size(); ++i) {
        EXPECT_EQ(cases[i].first, cases[i].second) << "case " << i;
    }
}

TEST(TextSplit, KeepsEmptyPiecesAndGivesOneMorePieceThanDelimiters) {
    struct Case {
        Text s, delimiter;
        std::vector<Text> pieces;
    };
    const std::vector<Case> cases = {{"a~b~c", "~", {"a", "b", "c"}},  {"", "~", {""}},
                                     {"~~~", "~", {"", "", "", ""}},   {"~a", "~", {"", "a"}},
                                     {"a~", "~", {"a", ""}},           {"abc", "~", {"abc"}},
                                     {"a<>b<>", "<>", {"a", "b", ""}}, {"aaa", "aa", {"", "a"}},
                                     {"abc", "", {"a", "b", "c"}},     {"", "", {""}}};
    for (const Case& c : cases) {
        const std::vector<Text> pieces = Split(c.s, c.delimiter);
        EXPECT_EQ(pieces, c.pieces) << '"' << c.s << "\" by \"" << c.delimiter << '"';
        EXPECT_EQ(UpperBound(pieces), static_cast<int32_t>(c.pieces.size()) - 1);
    }
    EXPECT_EQ(UpperBound({}), -1);
}

TEST(TextVal, ReadsTheNumberAtTheStartAndStopsAtAnythingElse) {
    const std::vector<std::pair<Text, double>> cases = {
        // clang-format off
        {"007", 7},       {"255", 255},        {"abc", 0},          {"", 0},
        {"  12x", 12},    {"\t-4", -4},        {"-3.5e2", -350},    {"1e", 1},
        {"1e-", 1},       {"1ex", 1},          {"+", 0},            {"-.", 0},
        {".5", 0.5},      {"5.", 5},           {"1.5E-2", 0.015},   {"- 5", 0},
        {"0x1A", 0},      {"1.2.3", 1.2},      {"\n5", 0},          {"0.1", 0.1},
        {"0.05", 0.05},   {"1e-400", 0},       {"4.9e-324", 4.9e-324},
        // clang-format on
    };
    for (const auto& [s, want] : cases) {
        EXPECT_EQ(Val(s), want) << '"' << s << '"';
    }
    EXPECT_FALSE(std::signbit(Val("-0.0")));
}

TEST(TextVal, HugeOrHostileInputGivesAFiniteCorrectlyRoundedResult) {
    constexpr double kLargest = std::numeric_limits<double>::max();
    EXPECT_EQ(Val("-1e400"), -kLargest);
    EXPECT_EQ(Val("1e99999999999999999999999999"), kLargest);
    EXPECT_EQ(Val("1e-99999999999999999999999999"), 0.0);
    EXPECT_EQ(Val(Text(1'000'000, '9')), kLargest);
    EXPECT_EQ(Val(Text(1'000'000, '9') + "e-999990"), 1e10);
    EXPECT_EQ(Val("0." + Text(1'000'000, '0') + "1"), 0.0);
    // 2^53 + 1 lies halfway between two doubles: a nonzero digit far to the right decides.
    const Text halfway = "9007199254740993." + Text(2000, '0');
    EXPECT_EQ(Val(halfway), 9007199254740992.0);
    EXPECT_EQ(Val(halfway + "1"), 9007199254740994.0);
}

// Out of range is decided by the whole number, not by the sign of the written exponent.
TEST(TextVal, OutOfRangeSaturatesOrGivesPositiveZero) {
    constexpr double kLargest = std::numeric_limits<double>::max();
    const std::vector<std::pair<Text, double>> cases = {
        {"1" + Text(400, '0') + "e-10", kLargest},
        {"-1" + Text(400, '0') + "e-80", -kLargest},
        {"0." + Text(400, '0') + "1e70", 0.0},
        {"-0." + Text(400, '0') + "1e70", 0.0},
        {"0." + Text(400, '0') + "1e420", 1e19},
        {"1.8e308", kLargest},
        {"1.7976931348623157e308", kLargest},
        {"2e-324", 0.0},
        {"-2e-324", 0.0},
        {"3e-324", 4.9406564584124654e-324},
        {"-0", 0.0},
        {"-000.000e5", 0.0},
        {"0e99999999999999999999", 0.0},
        {" \t+.5e+1", 5.0},
        {"5e+x", 5.0},
        {"12e3.5", 12000.0},
    };
    for (const auto& [s, want] : cases) {
        const double got = Val(s);
        EXPECT_EQ(got, want) << '"' << s.substr(0, 40) << '"';
        EXPECT_EQ(std::signbit(got), std::signbit(want)) << '"' << s.substr(0, 40) << '"';
    }
}

TEST(TextStr, PadsWithTheZerosOfThePatternOrGivesPlainDigits) {
    struct Case {
        int32_t value;
        Text pattern, want;
    };
    const std::vector<Case> cases = {
        // clang-format off
        {0, "000", "000"},     {7, "000", "007"},     {42, "000", "042"},  {255, "000", "255"},
        {1000, "000", "1000"}, {-5, "000", "-005"},   {0, "#", "0"},       {4, "#", "4"},
        {5, "x0", "5"},        {kMin, "", "-2147483648"}, {kMin, "000000000000", "-002147483648"},
        // clang-format on
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Str(c.value, c.pattern), c.want) << c.value << " with \"" << c.pattern << '"';
    }
}

TEST(TextStr, RealsPrintWholeNumbersAsIntegersAndOthersWithFifteenDigits) {
    struct Case {
        double value;
        Text pattern, want;
    };
    const std::vector<Case> cases = {
        // clang-format off
        {Val("007"), "", "7"},   {Val("7"), "000", "007"},  {Val("-3.5e2"), "", "-350"},
        {Val("1.5"), "", "1.5"}, {-0.0, "", "0"},           {1.0 / 3.0, "", "0.333333333333333"},
        {1e20, "", "1e+20"},     {kNaN, "", "NaN"},         {2147483648.0, "", "2147483648"},
        {kInf, "", "INF"},       {-kInf, "000", "-INF"},
        // clang-format on
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Str(c.value, c.pattern), c.want) << c.value;
    }
}

TEST(TextCvtReal64ToSInt32, RoundsHalvesToEvenAndSaturates) {
    const std::vector<std::pair<double, int32_t>> cases = {
        // clang-format off
        {2.4, 2},       {2.6, 3},         {-2.6, -3},           {2.5, 2},
        {3.5, 4},       {-2.5, -2},       {1e10, kMax},         {-1e10, kMin},
        {kInf, kMax},   {-kInf, kMin},    {kNaN, 0},            {2147483646.6, kMax},
        {-2147483648.6, kMin},            {-2147483647.4, kMin + 1},
        // clang-format on
    };
    for (const auto& [value, want] : cases) {
        EXPECT_EQ(RuntimeCvtReal64ToSInt32(value), want) << value;
    }
}

TEST(TextCompare, ComparesUnsignedBytesWithCase) {
    EXPECT_EQ(RuntimeStringCompare("abc", "abc"), 0);
    EXPECT_NE(RuntimeStringCompare("a", "A"), 0);
    EXPECT_LT(RuntimeStringCompare("a", "ab"), 0);
    EXPECT_GT(RuntimeStringCompare("b", "a"), 0);
    EXPECT_GT(RuntimeStringCompare("\x80", "a"), 0);
}

TEST(TextChr, GivesOneByteForCodesUpTo255AndNothingOutside) {
    EXPECT_EQ(Chr(13), "\r");
    EXPECT_EQ(Chr(0), Text(1, '\0'));
    EXPECT_EQ(Chr(255), "\xFF");
    EXPECT_EQ(Chr(256), "");
    EXPECT_EQ(Chr(-1), "");
}

TEST(TextEndOfLine, IsLineFeedOnEitherSide) {
    EXPECT_EQ(EndOfLine().Operator_Add("x"), "\nx");
    EXPECT_EQ(EndOfLine().Operator_AddRight("x"), "x\n");
}
