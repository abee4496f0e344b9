#include "numbers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace kerf {
namespace {

struct DecimalCase {
    std::string text;
    std::optional<double> value;  // nothing: the text is refused
};

void PrintTo(const DecimalCase& c, std::ostream* os) { *os << '"' << c.text << '"'; }

class DecimalTexts : public testing::TestWithParam<DecimalCase> {};

TEST_P(DecimalTexts, ConvertExactlyTheGrammar) {
    const auto& c = GetParam();
    const auto got = parse_decimal(c.text);
    ASSERT_EQ(got.has_value(), c.value.has_value()) << "text \"" << c.text << '"';
    if (c.value) {
        EXPECT_EQ(*got, *c.value) << "text \"" << c.text << '"';
    }
}

constexpr double kMax = std::numeric_limits<double>::max();
constexpr double kTrueMin = std::numeric_limits<double>::denorm_min();

INSTANTIATE_TEST_SUITE_P(
    Accepted, DecimalTexts,
    testing::Values(DecimalCase{"0", 0.0}, DecimalCase{"3.2", 3.2}, DecimalCase{"3.20", 3.2},
                    DecimalCase{" 3.2 ", 3.2}, DecimalCase{"   3.2", 3.2},
                    DecimalCase{"3.2   ", 3.2}, DecimalCase{"+1.5", 1.5}, DecimalCase{"-2", -2.0},
                    DecimalCase{" -0.25 ", -0.25}, DecimalCase{"1e3", 1000.0},
                    DecimalCase{"1E3", 1000.0}, DecimalCase{"1e+3", 1000.0},
                    DecimalCase{"2.5e-3", 0.0025}, DecimalCase{".5", 0.5}, DecimalCase{"5.", 5.0},
                    DecimalCase{"1.e2", 100.0}, DecimalCase{"-.5E1", -5.0}, DecimalCase{"007", 7.0},
                    DecimalCase{"0.1", 0.1},
                    DecimalCase{"3.14159265358979323846264338327950288", 3.141592653589793},
                    DecimalCase{"1.7976931348623157e308", kMax},
                    DecimalCase{"-1.7976931348623157e308", -kMax},
                    DecimalCase{"4.9406564584124654e-324", kTrueMin},
                    // Too small to tell from zero: zero, the nearest double.
                    DecimalCase{"1e-400", 0.0}, DecimalCase{"-1e-99999999999999999999", 0.0},
                    DecimalCase{"0.000001e-320", 0.0}, DecimalCase{"0e99999999999999999999", 0.0},
                    DecimalCase{"000000000000000000000000000001e-3", 0.001}));

INSTANTIATE_TEST_SUITE_P(
    Refused, DecimalTexts,
    testing::Values(DecimalCase{"", {}}, DecimalCase{" ", {}}, DecimalCase{"3,2", {}},
                    DecimalCase{"1,000.5", {}}, DecimalCase{"1.2.3", {}}, DecimalCase{".", {}},
                    DecimalCase{"-.", {}}, DecimalCase{"e5", {}}, DecimalCase{".e5", {}},
                    DecimalCase{"1e", {}}, DecimalCase{"1e+", {}}, DecimalCase{"1e5.5", {}},
                    DecimalCase{"1e3e3", {}}, DecimalCase{"inf", {}}, DecimalCase{"-inf", {}},
                    DecimalCase{"infinity", {}}, DecimalCase{"nan", {}}, DecimalCase{"NaN", {}},
                    DecimalCase{"0x10", {}}, DecimalCase{"0x1p3", {}}, DecimalCase{"$10", {}},
                    DecimalCase{"1e309", {}}, DecimalCase{"-1e309", {}}, DecimalCase{"1.8e308", {}},
                    DecimalCase{"1e99999999999999999999", {}}, DecimalCase{"0.0000001e316", {}},
                    DecimalCase{"- 1", {}}, DecimalCase{"+-1", {}}, DecimalCase{"--1", {}},
                    DecimalCase{"1 2", {}}, DecimalCase{"1-", {}}, DecimalCase{"\t3.2", {}},
                    DecimalCase{"3.2\t", {}}, DecimalCase{"3.2\n", {}}, DecimalCase{"3.2x", {}},
                    DecimalCase{"1_000", {}}, DecimalCase{"3.2 mm", {}},
                    DecimalCase{"\xEF\xBC\x91", {}},
                    DecimalCase{std::string("3\0"
                                            "2",
                                            3),
                                {}}));

TEST(DecimalText, MinusZeroKeepsItsSign) {
    const auto value = parse_decimal(" -0 ");
    ASSERT_TRUE(value);
    EXPECT_TRUE(std::signbit(*value));
}

struct WholeCase {
    std::string text;
    std::optional<std::int32_t> value;
};

void PrintTo(const WholeCase& c, std::ostream* os) { *os << '"' << c.text << '"'; }

class WholeTexts : public testing::TestWithParam<WholeCase> {};

TEST_P(WholeTexts, ConvertExactlyTheGrammar) {
    const auto& c = GetParam();
    const auto got = parse_whole(c.text);
    ASSERT_EQ(got.has_value(), c.value.has_value()) << "text \"" << c.text << '"';
    if (c.value) {
        EXPECT_EQ(*got, *c.value) << "text \"" << c.text << '"';
    }
}

constexpr std::int32_t kIntMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kIntMax = std::numeric_limits<std::int32_t>::max();

INSTANTIATE_TEST_SUITE_P(
    Accepted, WholeTexts,
    testing::Values(WholeCase{"0", 0}, WholeCase{"5000", 5000}, WholeCase{" 5000", 5000},
                    WholeCase{"   5000", 5000}, WholeCase{"+5", 5}, WholeCase{"-3", -3},
                    WholeCase{"050", 50}, WholeCase{"000000000000000000000012", 12},
                    WholeCase{"2147483647", kIntMax}, WholeCase{"-2147483648", kIntMin},
                    WholeCase{"$10", 16}, WholeCase{"x10", 16}, WholeCase{"X10", 16},
                    WholeCase{"0x10", 16}, WholeCase{"0X10", 16}, WholeCase{"$ff", 255},
                    WholeCase{"0xFf", 255}, WholeCase{"$7FFFFFFF", kIntMax},
                    // The sign applies to the hexadecimal form as to the decimal one.
                    WholeCase{"-$10", -16}, WholeCase{"+0x1f", 31}, WholeCase{" -x10", -16},
                    WholeCase{"-$80000000", kIntMin}, WholeCase{"$0000000000000010", 16}));

INSTANTIATE_TEST_SUITE_P(
    Refused, WholeTexts,
    testing::Values(WholeCase{"", {}}, WholeCase{" ", {}}, WholeCase{"5000 ", {}},
                    WholeCase{"50.5", {}}, WholeCase{"50.", {}}, WholeCase{"1e3", {}},
                    WholeCase{"2147483648", {}}, WholeCase{"-2147483649", {}},
                    WholeCase{"99999999999999999999", {}},
                    // Above the signed range in hex too: $FFFFFFFF is 4294967295, not -1.
                    WholeCase{"$80000000", {}}, WholeCase{"$FFFFFFFF", {}},
                    WholeCase{"-$80000001", {}}, WholeCase{"0x100000000", {}}, WholeCase{"$", {}},
                    WholeCase{"x", {}}, WholeCase{"0x", {}}, WholeCase{"-", {}}, WholeCase{"+", {}},
                    WholeCase{"two", {}}, WholeCase{"0x1G", {}}, WholeCase{"$-10", {}},
                    WholeCase{"- 5", {}}, WholeCase{"--5", {}}, WholeCase{"5-", {}},
                    WholeCase{"0x 10", {}}, WholeCase{"$ 10", {}}, WholeCase{"\t5", {}},
                    WholeCase{"5\n", {}}, WholeCase{"1,000", {}}, WholeCase{"0b101", {}},
                    WholeCase{"10h", {}}, WholeCase{"\xEF\xBC\x91", {}},
                    WholeCase{std::string("5\0"
                                          "0",
                                          3),
                              {}}));

// "%f" of the program's messages, which the old program printed with printf: every
// value must come out exactly as printf("%.2f") gives it, ties and all.
TEST(FormatFixed2, MatchesPrintf) {
    std::vector<double> values = {0.0,   -0.0,   2.5,    6.8 / 3, 0.125, 0.375,      0.005,
                                  1.005, -1.005, -0.001, 1e6,     1e300, -123456.785};
    for (int k = -3000; k <= 3000; ++k) values.push_back(k / 1000.0);
    std::mt19937_64 random(42);
    std::uniform_real_distribution<double> any(-1e7, 1e7);
    for (int k = 0; k < 2000; ++k) values.push_back(any(random));
    for (const double v : values) {
        char expected[400];
        std::snprintf(expected, sizeof expected, "%.2f", v);
        EXPECT_EQ(format_fixed2(v), expected) << "value " << v;
    }
    EXPECT_EQ(format_fixed2(6.8 / 3), "2.27");
}

TEST(FormatGeneral, MatchesPrintfAndReadsBack) {
    EXPECT_EQ(format_general(0), "0");
    EXPECT_EQ(format_general(2.5), "2.5");
    EXPECT_EQ(format_general(static_cast<double>(1.1f)), "1.10000002384186");
    std::vector<double> values = {1.0, 1e20, 1e-5, 123456789012345678.0, 1e15, 1e16, -7.25};
    for (int k = 0; k <= 100; ++k) values.push_back(1.0 + k / 100.0);
    for (const double v : values) {
        char expected[64];
        std::snprintf(expected, sizeof expected, "%.15g", v);
        EXPECT_EQ(format_general(v), expected) << "value " << v;
    }
}

// The viewing scale is a single-precision value stored through a double: every slider
// position must read back as the same float.
TEST(FormatGeneral, ScaleValuesSurviveTheFile) {
    for (int k = 0; k <= 1000; ++k) {
        const float scale = 1.0f + static_cast<float>(k) / 1000.0f;
        const auto back = parse_decimal(format_general(static_cast<double>(scale)));
        ASSERT_TRUE(back) << format_general(scale);
        EXPECT_EQ(static_cast<float>(*back), scale);
    }
}

}  // namespace
}  // namespace kerf
