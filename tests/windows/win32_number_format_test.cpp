// The number texts under the Windows C runtime: the same bytes as on Linux,
// whatever the runtime's printf does and whatever locale is set.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <string>

#include "quotes/data_mask.h"
#include "quotes/data_text.h"
#include "quotes/number_format.h"
#include "quotes/quote_line.h"
#include "tests/unit/number_format_cases.h"

namespace {

using number_format_cases::IntegerCase;
using number_format_cases::ReadCase;
using number_format_cases::TextCase;

class Win32FormatG : public ::testing::TestWithParam<TextCase> {};
TEST_P(Win32FormatG, GivesTheSameText) { EXPECT_EQ(quotes::FormatG(GetParam().value), GetParam().text); }
INSTANTIATE_TEST_SUITE_P(Values, Win32FormatG, ::testing::ValuesIn(number_format_cases::FormatGCases()));

class Win32FormatFixed2 : public ::testing::TestWithParam<TextCase> {};
TEST_P(Win32FormatFixed2, GivesTheSameText) { EXPECT_EQ(quotes::FormatFixed2(GetParam().value), GetParam().text); }
INSTANTIATE_TEST_SUITE_P(Values, Win32FormatFixed2, ::testing::ValuesIn(number_format_cases::FormatFixed2Cases()));

class Win32FormatFraction : public ::testing::TestWithParam<TextCase> {};
TEST_P(Win32FormatFraction, GivesTheSameText) {
    EXPECT_EQ(quotes::FractionText(GetParam().value), GetParam().text);
}
INSTANTIATE_TEST_SUITE_P(Values, Win32FormatFraction, ::testing::ValuesIn(number_format_cases::FractionTextCases()));

class Win32FormatReadDecimal : public ::testing::TestWithParam<ReadCase> {};
TEST_P(Win32FormatReadDecimal, ReadsTheSameValue) {
    EXPECT_EQ(quotes::ReadDecimal(GetParam().text), GetParam().value);
}
INSTANTIATE_TEST_SUITE_P(Values, Win32FormatReadDecimal, ::testing::ValuesIn(number_format_cases::ReadDecimalCases()));

class Win32FormatReadInteger : public ::testing::TestWithParam<IntegerCase> {};
TEST_P(Win32FormatReadInteger, ReadsTheSameValue) {
    EXPECT_EQ(quotes::ReadInteger32(GetParam().text), GetParam().value);
}
INSTANTIATE_TEST_SUITE_P(Values, Win32FormatReadInteger,
                         ::testing::ValuesIn(number_format_cases::ReadInteger32Cases()));

TEST(Win32FormatReadBack, EveryDoubleExactly) {
    // Texts of up to 17 digits over the whole exponent range: where a
    // floating-point shortcut on the x87 unit would miss the last bit.
    for (double value : number_format_cases::RandomBitDoubles(200000)) {
        for (const std::string& text : number_format_cases::RoundTripTexts(value)) {
            ASSERT_EQ(quotes::ReadDecimal(text), value) << text;
        }
    }
}

TEST(Win32FormatDataText, FullQuoteInBothForms) {
    quotes::QuoteFields fields;
    fields.label = "ibm";
    quotes::ApplyQuoteLine("http://127.0.0.1/d/quotes.csv",
                           "\"IBM\",1234567,\"4:00PM\",+1.5,103,106,103.75,12345,104\n", fields);
    constexpr std::uint32_t kAllDecimal = quotes::kSelectAllDataMask & ~quotes::kShowFractions;
    EXPECT_EQ(quotes::BuildDataText(fields, kAllDecimal | quotes::kShowOpen),
              "1.23457e+006 4:00PM +1.5 +1.45% c:103.75 o:104 h:106 l:103 v:12345");
    EXPECT_EQ(quotes::BuildDataText(fields, quotes::kSelectAllDataMask),
              "1234567  4:00PM +1 1/2 +1.45% c:103 3/4 h:106  l:103  v:12345");
}

TEST(Win32FormatDataText, PercentagesNearARoundingBoundary) {
    // The same texts as the native build: plain double quotients, which
    // x87 arithmetic with its longer intermediates would round otherwise.
    quotes::QuoteFields fields;
    fields.last = 1;
    fields.change = 735.54;
    fields.prevClose = 24.96;
    EXPECT_EQ(quotes::BuildDataText(fields, quotes::kShowPercentChange), "+2946.88%");
    fields.change = 881.98;
    fields.prevClose = 16880;
    EXPECT_EQ(quotes::BuildDataText(fields, quotes::kShowPercentChange), "+5.22%");
    fields.change = -0.53;
    fields.prevClose = 40;
    EXPECT_EQ(quotes::BuildDataText(fields, quotes::kShowPercentChange), "-1.32%");
}

// Puts the process in a locale whose decimal point is ',' for one test.
class CommaLocale {
public:
    CommaLocale() : active_(std::setlocale(LC_ALL, "German") != nullptr) {}
    ~CommaLocale() { std::setlocale(LC_ALL, "C"); }
    CommaLocale(const CommaLocale&) = delete;
    CommaLocale& operator=(const CommaLocale&) = delete;
    bool Active() const { return active_; }

private:
    bool active_;
};

TEST(Win32FormatLocale, DecimalPointStaysADot) {
    CommaLocale locale;
    if (!locale.Active()) GTEST_SKIP() << "no German locale";
    char printed[32];
    std::snprintf(printed, sizeof printed, "%.2f", 1.5);
    if (std::string(printed) != "1,50") GTEST_SKIP() << "this runtime's printf ignores the locale: " << printed;

    EXPECT_EQ(quotes::FormatG(1.5), "1.5");
    EXPECT_EQ(quotes::FormatG(1234567), "1.23457e+006");
    EXPECT_EQ(quotes::FormatFixed2(1.5), "1.50");
    EXPECT_EQ(quotes::ReadDecimal("1.5"), 1.5);
    EXPECT_EQ(quotes::ReadDecimal("1,5"), 1);
}

}  // namespace
