#include <gtest/gtest.h>

#include "ValueText.h"

using namespace velmora;

namespace
{

struct FloatCase
{
    const char* format;
    double value;
    const char* text;
};

class FormatFloat : public ::testing::TestWithParam<FloatCase>
{
};

TEST_P(FormatFloat, WritesTruncatedFixedWidthText)
{
    const auto& c = GetParam();
    std::string out;
    const int n = formatText(out, c.format, {c.value});
    EXPECT_EQ(out, c.text) << c.format << " of " << c.value;
    EXPECT_EQ(n, static_cast<int>(out.size()));
}

INSTANTIATE_TEST_SUITE_P(
    FormatsInUse, FormatFloat,
    ::testing::Values(FloatCase {"%k1f", 40, "40.0"}, FloatCase {"%k1f", 999.9, "999.9"},
                      FloatCase {"%k1f", 1000, "1k00"}, FloatCase {"%k1f", 1234.5, "1k23"},
                      FloatCase {"%k1f", 15000, "15k00"}, FloatCase {"%k1f", 20000, "20k00"},
                      FloatCase {"%+5.1f", 0, " +0.0"}, FloatCase {"%+5.1f", -15, "-15.0"},
                      FloatCase {"%+5.1f", 12.5, "+12.5"}, FloatCase {"%5.1f", -30, "-30.0"},
                      FloatCase {"%5.1f", 0, "  0.0"}, FloatCase {"%5.1f", 1000, " 1000"},
                      FloatCase {"%4.1f", 50, "50.0"}, FloatCase {"%4.1f", 100, " 100"},
                      FloatCase {"%4.1f", 0.1, " 0.1"}, FloatCase {"%3.1f", 1, "1.0"},
                      FloatCase {"%3.1f", 10, " 10"}, FloatCase {"%3.1f", 10.5, " 10"},
                      FloatCase {"%3.1f", 100, "100"}, FloatCase {"%6.2f", 0, "  0.00"},
                      FloatCase {"%6.2f", 300, "300.00"}));

INSTANTIATE_TEST_SUITE_P(
    TruncationAndOddForms, FormatFloat,
    ::testing::Values(FloatCase {"%+5.1f", 0.45, " +0.4"}, FloatCase {"%3.1f", 9.95, "9.9"},
                      FloatCase {"%3.1f", 1.3, "1.2"}, FloatCase {"%6.2f", 0.29, "  0.28"},
                      FloatCase {"%3.1f", 2.25, "2.2"}, FloatCase {"%6.2f", 299.99, "299.98"},
                      FloatCase {"%5k1f", 2500, " 2k50"}, FloatCase {"%.2f", 5, "5.00"},
                      FloatCase {"%f", 5.7, "5"}, FloatCase {"%+5.1f", -0.0, " +0.0"},
                      FloatCase {"%05.1f", -3.5, "-03.5"}));

TEST(FormatText, IntegersTextsAndOtherDirectives)
{
    EXPECT_EQ(formatText("%d", {-3}), "-3");
    EXPECT_EQ(formatText("%+d", {3}), "+3");
    EXPECT_EQ(formatText("%5d", {42}), "   42");
    EXPECT_EQ(formatText("%05d", {-42}), "-0042");
    EXPECT_EQ(formatText("%x", {255}), "ff");
    EXPECT_EQ(formatText("%x", {-1}), "ffffffff");
    EXPECT_EQ(formatText("%d", {180}), "180");
    EXPECT_EQ(formatText("%d", {INT32_MIN}), "-2147483648");
    EXPECT_EQ(formatText("%d", {INT32_MAX}), "2147483647");
    EXPECT_EQ(formatText("%c", {0x141}), "A");
    EXPECT_EQ(formatText("%5sX", {std::string_view("ab")}), "ab   X");
    EXPECT_EQ(formatText("%2sX", {std::string_view("abcdef")}), "abX");
    EXPECT_EQ(formatText("%s", {std::string_view("whole")}), "whole");
    EXPECT_EQ(formatText("%3n-A", {}), "---A");
    EXPECT_EQ(formatText("%n-A", {}), "-A");
    EXPECT_EQ(formatText("%3n", {}), "");
    EXPECT_EQ(formatText("%q", {}), "?");
    EXPECT_EQ(formatText("a%%b", {}), "a%b");
    EXPECT_EQ(formatText("ch/%d/xover/hp", {2}), "ch/2/xover/hp");
}

TEST(FormatText, ValuesOutsideAnyRangeStayDefined)
{
    // Not produced by the parameters, but the formatter must not loop or
    // convert a non-finite number to an integer.
    EXPECT_FALSE(formatText("%6.2f", {std::numeric_limits<double>::infinity()}).empty());
    EXPECT_FALSE(formatText("%6.2f", {std::numeric_limits<double>::quiet_NaN()}).empty());
    EXPECT_FALSE(formatText("%k1f", {1e30}).empty());
}

struct ParseCase
{
    const char* text;
    int read;
    double value;
};

class ParseFloatCases : public ::testing::TestWithParam<ParseCase>
{
};

TEST_P(ParseFloatCases, ReadsPlainAndThousandsForms)
{
    const auto& c = GetParam();
    float value = -99.0f;
    EXPECT_EQ(parseFloat(c.text, value), c.read) << c.text;
    EXPECT_FLOAT_EQ(value, static_cast<float>(c.value)) << c.text;
}

INSTANTIATE_TEST_SUITE_P(Forms, ParseFloatCases,
                         ::testing::Values(ParseCase {"1k", 2, 1000}, ParseCase {"2k00", 4, 2000},
                                           ParseCase {"2k5", 3, 2500}, ParseCase {"10k", 3, 10000},
                                           ParseCase {"15k001", 6, 15001},
                                           ParseCase {"30.01", 5, 30.01f},
                                           ParseCase {"1.5k", 3, 1.5}, ParseCase {"2kk", 2, 2000},
                                           ParseCase {".5", 2, 0.5}, ParseCase {"1.2.3", 3, 1.2f},
                                           ParseCase {"abc", 0, 0}, ParseCase {"", 0, 0},
                                           ParseCase {"-30.0", 5, -30},
                                           ParseCase {"+12.5", 5, 12.5}, ParseCase {" 10", 0, 0}));

TEST(ParseInteger, SignsDigitsAndWrapping)
{
    struct Case
    {
        const char* text;
        int read;
        std::int32_t value;
    };
    const Case cases[] = {
        {"", 0, 0},
        {"abc", 0, 0},
        {"-", 1, 0},
        {"+7x", 2, 7},
        {"180", 3, 180},
        {"-42 rest", 3, -42},
        {"1-2", 1, 1},
        {"2147483648", 10, INT32_MIN},
        {"4294967297", 10, 1},
    };
    for (const auto& c : cases)
    {
        std::int32_t value = 99;
        EXPECT_EQ(parseInteger(c.text, value), c.read) << c.text;
        EXPECT_EQ(value, c.value) << c.text;
    }
}

TEST(ValueText, EveryFormatInUseReadsBackToThePrintedNumber)
{
    const char* formats[] = {"%k1f", "%+5.1f", "%5.1f", "%4.1f", "%3.1f", "%6.2f"};
    const double values[] = {0,     0.1,  1,      1.3,  9.95,  12.5,  40,  99.5, 299.99,
                             999.9, 1000, 1124.7, 2500, 15001, 20000, -15, -30};
    for (const char* format : formats)
        for (double v : values)
        {
            const std::string text = formatText(format, {v});
            const auto start = text.find_first_not_of(' ');
            ASSERT_NE(start, std::string::npos) << format << " " << v;
            float back = 0.0f;
            const int read = parseFloat(std::string_view(text).substr(start), back);
            EXPECT_EQ(read, static_cast<int>(text.size() - start)) << format << " " << text;

            // The printed number, read the ordinary way ("1k23" is 1.23e3).
            std::string plain = text.substr(start);
            double expected = 0;
            if (const auto k = plain.find('k'); k != std::string::npos)
                expected = std::stod(plain.substr(0, k) + "." + plain.substr(k + 1)) * 1000.0;
            else
                expected = std::stod(plain);
            EXPECT_NEAR(back, expected, std::abs(expected) * 1e-6 + 1e-6) << format << " " << text;
        }
}

} // namespace
