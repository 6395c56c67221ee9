// Number texts and number reading, against fixed tables and against the C
// library's printf and strtod as a second opinion.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include "quotes/number_format.h"
#include "tests/unit/number_format_cases.h"

namespace {

using number_format_cases::IntegerCase;
using number_format_cases::ReadCase;
using number_format_cases::TextCase;

class FormatGTable : public ::testing::TestWithParam<TextCase> {};
TEST_P(FormatGTable, GivesThePrintfText) { EXPECT_EQ(quotes::FormatG(GetParam().value), GetParam().text); }
INSTANTIATE_TEST_SUITE_P(Values, FormatGTable, ::testing::ValuesIn(number_format_cases::FormatGCases()));

class FormatFixed2Table : public ::testing::TestWithParam<TextCase> {};
TEST_P(FormatFixed2Table, GivesThePrintfText) { EXPECT_EQ(quotes::FormatFixed2(GetParam().value), GetParam().text); }
INSTANTIATE_TEST_SUITE_P(Values, FormatFixed2Table, ::testing::ValuesIn(number_format_cases::FormatFixed2Cases()));

class FractionTextTable : public ::testing::TestWithParam<TextCase> {};
TEST_P(FractionTextTable, GivesWholeAndSixtyFourths) {
    EXPECT_EQ(quotes::FractionText(GetParam().value), GetParam().text);
}
INSTANTIATE_TEST_SUITE_P(Values, FractionTextTable, ::testing::ValuesIn(number_format_cases::FractionTextCases()));

class ReadDecimalTable : public ::testing::TestWithParam<ReadCase> {};
TEST_P(ReadDecimalTable, ReadsTheLeadingNumber) { EXPECT_EQ(quotes::ReadDecimal(GetParam().text), GetParam().value); }
INSTANTIATE_TEST_SUITE_P(Values, ReadDecimalTable, ::testing::ValuesIn(number_format_cases::ReadDecimalCases()));

class ReadInteger32Table : public ::testing::TestWithParam<IntegerCase> {};
TEST_P(ReadInteger32Table, ReadsTheLeadingInteger) {
    EXPECT_EQ(quotes::ReadInteger32(GetParam().text), GetParam().value);
}
INSTANTIATE_TEST_SUITE_P(Values, ReadInteger32Table, ::testing::ValuesIn(number_format_cases::ReadInteger32Cases()));

TEST(FormatInteger, GivesThePrintfText) {
    EXPECT_EQ(quotes::FormatInteger(0), "0");
    EXPECT_EQ(quotes::FormatInteger(12345), "12345");
    EXPECT_EQ(quotes::FormatInteger(-12345), "-12345");
    EXPECT_EQ(quotes::FormatInteger(INT32_MAX), "2147483647");
    EXPECT_EQ(quotes::FormatInteger(INT32_MIN), "-2147483648");
}

TEST(ReadDecimal, KeepsTheSignOfZero) {
    EXPECT_TRUE(std::signbit(quotes::ReadDecimal("-0")));
    EXPECT_TRUE(std::signbit(quotes::ReadDecimal("-1e-999")));
    EXPECT_FALSE(std::signbit(quotes::ReadDecimal("0")));
    EXPECT_FALSE(std::signbit(quotes::ReadDecimal("N/A")));
}

TEST(ReadDecimal, ReadsFieldsOfMegabytes) {
    constexpr std::size_t kTenMegabytes = 10u << 20;
    EXPECT_EQ(quotes::ReadDecimal(std::string(kTenMegabytes, '9')), number_format_cases::kInf);
    EXPECT_EQ(quotes::ReadDecimal("0." + std::string(kTenMegabytes, '0') + "1"), 0);
    EXPECT_EQ(quotes::ReadDecimal("0." + std::string(kTenMegabytes, '0') + "25e10485761"), 2.5);
    EXPECT_EQ(quotes::ReadDecimal("1" + std::string(kTenMegabytes, '0') + "e-10485760"), 1);
    EXPECT_EQ(quotes::ReadDecimal(std::string(kTenMegabytes, ' ')), 0);
    EXPECT_EQ(quotes::ReadInteger32(std::string(kTenMegabytes, '7')), INT32_MAX);
}

TEST(ReadDecimal, StopsAtAZeroByte) {
    EXPECT_EQ(quotes::ReadDecimal(std::string("12\0.5", 5)), 12);
    EXPECT_EQ(quotes::ReadInteger32(std::string("34\0" "5", 4)), 34);
}

// glibc's printf is a correct "%g" apart from its two-digit exponents.
std::string GlibcG(double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%g", value);
    std::string text = buffer;
    const std::size_t e = text.find('e');
    if (e != std::string::npos && text.size() - e == 4) text.insert(e + 2, "0");
    return text;
}

std::string GlibcFixed2(double value) {
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, "%.2f", value);
    return buffer;
}

// Values over the whole range, many of them with few digits, where ties and
// carries into a new digit happen.
std::vector<double> SampleValues() {
    std::mt19937_64 random(20240611);
    std::uniform_real_distribution<double> mantissa(-10, 10);
    std::uniform_int_distribution<int> exponent(-320, 306);
    std::uniform_int_distribution<int> cents(-2000000, 2000000);
    std::uniform_int_distribution<int> sixtyFourths(-64 * 5000, 64 * 5000);
    std::vector<double> values;
    for (int i = 0; i < 20000; ++i) {
        values.push_back(mantissa(random) * std::pow(10.0, exponent(random)));
        values.push_back(cents(random) / 100.0);
        values.push_back(sixtyFourths(random) / 64.0);
        values.push_back(cents(random) * 0.0005);
    }
    return values;
}

TEST(FormatG, MatchesGlibcOverTheWholeRange) {
    for (double value : SampleValues()) {
        ASSERT_EQ(quotes::FormatG(value), GlibcG(value)) << std::hexfloat << value;
    }
}

TEST(FormatFixed2, MatchesGlibc) {
    for (double value : SampleValues()) {
        if (std::fabs(value) > 1e30) continue;
        ASSERT_EQ(quotes::FormatFixed2(value), GlibcFixed2(value)) << std::hexfloat << value;
    }
}

TEST(ReadDecimal, MatchesStrtodOnNumbersItPrints) {
    for (double value : SampleValues()) {
        for (const char* format : {"%.17g", "%.3f", "%g", "%.6e"}) {
            char text[512];
            std::snprintf(text, sizeof text, format, value);
            ASSERT_EQ(quotes::ReadDecimal(text), std::strtod(text, nullptr)) << text;
        }
    }
}

TEST(ReadDecimal, ReadsBackEveryDoubleExactly) {
    for (double value : number_format_cases::RandomBitDoubles(200000)) {
        for (const std::string& text : number_format_cases::RoundTripTexts(value)) {
            ASSERT_EQ(quotes::ReadDecimal(text), value) << text;
        }
    }
}

TEST(FractionText, AgreesWithItsOwnArithmetic) {
    // Reading the text back gives the value cut toward zero to its 64th.
    for (double value : SampleValues()) {
        if (std::fabs(value) >= 2147483648.0) continue;
        const std::string text = quotes::FractionText(value);
        const double cut = std::trunc(value * 64) / 64;
        double whole = 0;
        double fraction = 0;
        const std::size_t space = text.find(' ');
        const std::size_t slash = text.find('/');
        if (space != std::string::npos) whole = std::strtod(text.c_str(), nullptr);
        if (slash != std::string::npos) {
            const std::size_t start = space == std::string::npos ? 0 : space + 1;
            const long numerator = std::strtol(text.c_str() + start, nullptr, 10);
            ASSERT_NE(numerator % 2, 0) << "not in lowest terms: " << text;
            fraction = static_cast<double>(numerator) / std::strtod(text.c_str() + slash + 1, nullptr);
        }
        const double read = whole < 0 ? whole - fraction : whole + fraction;
        ASSERT_EQ(read, cut) << text << " for " << value;
    }
}

}  // namespace
