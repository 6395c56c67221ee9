// Walking a quote source's answer into an item's values.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <limits>
#include <string>

#include "quotes/quote_line.h"

namespace {

using quotes::QuoteFields;

constexpr const char* kQuoteSource = "http://127.0.0.1:8642/d/quotes.csv?f=sl1t1c1ghpv&s=IBM";
constexpr const char* kHeaderSource = "http://127.0.0.1:8642/uk/quotes.csv?s=VOD.L";
constexpr double kInf = std::numeric_limits<double>::infinity();

// Values left by an earlier quote, all distinct, so that every field the body
// does not reach can be seen to keep its value.
QuoteFields Earlier() {
    QuoteFields q;
    q.label = "ibm";
    q.timeText = "old";
    q.last = 11;
    q.change = 12;
    q.prevClose = 13;
    q.open = 14;
    q.high = 15;
    q.low = 16;
    q.volume = 17;
    return q;
}

void ExpectSameFields(const QuoteFields& actual, const QuoteFields& expected) {
    EXPECT_EQ(actual.label, expected.label);
    EXPECT_EQ(actual.timeText, expected.timeText);
    EXPECT_EQ(actual.last, expected.last);
    EXPECT_EQ(actual.change, expected.change);
    EXPECT_EQ(actual.prevClose, expected.prevClose);
    EXPECT_EQ(actual.open, expected.open);
    EXPECT_EQ(actual.high, expected.high);
    EXPECT_EQ(actual.low, expected.low);
    EXPECT_EQ(actual.volume, expected.volume);
}

struct LineCase {
    const char* name;
    const char* source;
    std::string body;
    std::function<void(QuoteFields&)> expect;  // turns Earlier() into the expected values
};

void PrintTo(const LineCase& c, std::ostream* out) { *out << c.name; }

class ApplyQuoteLine : public ::testing::TestWithParam<LineCase> {};

TEST_P(ApplyQuoteLine, SetsTheColumnsItReaches) {
    QuoteFields fields = Earlier();
    quotes::ApplyQuoteLine(GetParam().source, GetParam().body, fields);
    QuoteFields expected = Earlier();
    if (GetParam().expect) GetParam().expect(expected);
    ExpectSameFields(fields, expected);
}

const std::string kIbmLine = "\"IBM\",123.5,\"4:00PM\",+1.25,120.0,124.0,122.25,1234567\r\n";

void IbmQuote(QuoteFields& q) {
    q.label = "IBM";
    q.last = 123.5;
    q.timeText = "4:00PM";
    q.change = 1.25;
    q.low = 120.0;
    q.high = 124.0;
    q.prevClose = 122.25;
    q.volume = 1234567;
}

INSTANTIATE_TEST_SUITE_P(
    Bodies, ApplyQuoteLine,
    ::testing::Values(
        LineCase{"IBM line with CRLF", kQuoteSource, kIbmLine, IbmQuote},
        LineCase{"IBM line with LF", kQuoteSource,
                 "\"IBM\",123.5,\"4:00PM\",+1.25,120.0,124.0,122.25,1234567\n", IbmQuote},
        LineCase{"IBM line without line end", kQuoteSource,
                 "\"IBM\",123.5,\"4:00PM\",+1.25,120.0,124.0,122.25,1234567", IbmQuote},
        LineCase{"empty trade time shifts the later columns", kQuoteSource,
                 "\"IBM\",123.5,,+1.25,120.0,124.0,122.25,1234567\r\n",
                 [](QuoteFields& q) {
                     q.label = "IBM";
                     q.last = 123.5;
                     q.timeText = "+1.25";
                     q.change = 120.0;
                     q.low = 124.0;
                     q.high = 122.25;
                     q.prevClose = 1234567;
                 }},
        LineCase{"empty fields anywhere count for nothing", kQuoteSource, ",,,\"IBM\",,,5,,",
                 [](QuoteFields& q) {
                     q.label = "IBM";
                     q.last = 5;
                 }},
        LineCase{"zero price keeps the label's case", kQuoteSource, "\"IBM\",0,\"4:00PM\"",
                 [](QuoteFields& q) {
                     q.last = 0;
                     q.timeText = "4:00PM";
                 }},
        LineCase{"N/A everywhere", kQuoteSource, "\"IBM\",N/A,\"N/A\",N/A,N/A,N/A,N/A,N/A\n",
                 [](QuoteFields& q) {
                     q.last = 0;
                     q.timeText = "N/A";
                     q.change = 0;
                     q.low = 0;
                     q.high = 0;
                     q.prevClose = 0;
                     q.volume = 0;
                 }},
        LineCase{"negative price keeps the label's case", kQuoteSource, "\"IBM\",-5",
                 [](QuoteFields& q) { q.last = -5; }},
        LineCase{"overflowing price counts as positive", kQuoteSource, "\"IBM\",1e999",
                 [](QuoteFields& q) {
                     q.label = "IBM";
                     q.last = kInf;
                 }},
        LineCase{"unclosed quote loses the last character", kQuoteSource, "\"IBM\",123.5,\"4:00PM,+1.25",
                 [](QuoteFields& q) {
                     q.label = "IBM";
                     q.last = 123.5;
                     q.timeText = "4:00P";
                     q.change = 1.25;
                 }},
        LineCase{"a lone double quote is an empty value", kQuoteSource, "\"IBM\",1,\",2",
                 [](QuoteFields& q) {
                     q.label = "IBM";
                     q.last = 1;
                     q.timeText = "";
                     q.change = 2;
                 }},
        LineCase{"quoted number", kQuoteSource, "\"IBM\",\"7.5\"",
                 [](QuoteFields& q) {
                     q.label = "IBM";
                     q.last = 7.5;
                 }},
        LineCase{"commas inside quotes still separate", kQuoteSource, "\"IBM, Inc\",5",
                 [](QuoteFields& q) {
                     q.last = 0;  // ' Inc"' is column 2
                     q.timeText = "5";
                 }},
        LineCase{"ninth column is the opening price, later ones are ignored", kQuoteSource,
                 "\"IBM\",1,\"t\",2,3,4,5,6,7,8,9,10",
                 [](QuoteFields& q) {
                     q.label = "IBM";
                     q.last = 1;
                     q.timeText = "t";
                     q.change = 2;
                     q.low = 3;
                     q.high = 4;
                     q.prevClose = 5;
                     q.volume = 6;
                     q.open = 7;
                 }},
        LineCase{"a second line continues the count", kQuoteSource,
                 "\"A\",1,\"t\",2,3,4,5,6\n\"B\",7,8\n",
                 [](QuoteFields& q) {
                     q.label = "IBM";
                     q.last = 1;
                     q.timeText = "t";
                     q.change = 2;
                     q.low = 3;
                     q.high = 4;
                     q.prevClose = 5;
                     q.volume = 6;  // "6\n\"B\"" stops at the line feed
                     q.open = 7;
                 }},
        LineCase{"volume past the 32-bit range is clipped", kQuoteSource, "\"IBM\",1,\"t\",2,3,4,5,99999999999",
                 [](QuoteFields& q) {
                     q.label = "IBM";
                     q.last = 1;
                     q.timeText = "t";
                     q.change = 2;
                     q.low = 3;
                     q.high = 4;
                     q.prevClose = 5;
                     q.volume = std::numeric_limits<std::int32_t>::max();
                 }},
        LineCase{"the error text sets nothing", kQuoteSource, "Velmoria Error", nullptr},
        LineCase{"an empty body sets nothing", kQuoteSource, "", nullptr},
        LineCase{"only separators set nothing", kQuoteSource, ",,,,\n", nullptr},
        LineCase{"a partial body sets what arrived", kQuoteSource, "\"IBM\",123.5,\"4:0",
                 [](QuoteFields& q) {
                     q.label = "IBM";
                     q.last = 123.5;
                     q.timeText = "4:";
                 }},
        LineCase{"header line skipped for a uk source", kHeaderSource,
                 "Symbol,Last,Time\n\"VOD.L\",250.5,\"4:30pm\"\n",
                 [](QuoteFields& q) {
                     q.label = "IBM";
                     q.last = 250.5;
                     q.timeText = "4:30pm\"";  // the line feed took the closing quote's place
                 }},
        LineCase{"header line read as data without uk", kQuoteSource,
                 "Symbol,Last,Time\n\"VOD.L\",250.5,\"4:30pm\"\n",
                 [](QuoteFields& q) {
                     q.last = 0;  // "Last"
                     q.timeText = "Time\n\"VOD.L\"";
                     q.change = 250.5;
                     q.low = 4;  // "4:30pm\"\n" after the quote stripping
                 }},
        LineCase{"the uk test is case-sensitive", "http://127.0.0.1:8642/UK/quotes.csv",
                 "Symbol,Last,Time\n\"VOD.L\",250.5", [](QuoteFields& q) {
                     q.last = 0;
                     q.timeText = "Time\n\"VOD.L\"";
                     q.change = 250.5;
                 }},
        LineCase{"uk source with a one-line body uses it whole", kHeaderSource, "\"VOD.L\",250.5",
                 [](QuoteFields& q) {
                     q.label = "IBM";
                     q.last = 250.5;
                 }},
        LineCase{"uk source with only a header sets nothing", kHeaderSource, "Symbol,Last,Time\n", nullptr},
        LineCase{"zero bytes stay inside the text", kQuoteSource, std::string("\"IBM\"\0,12\0.5,\"4:00\0PM\"", 22),
                 [](QuoteFields& q) {
                     q.label = "IBM";
                     q.last = 12;
                     q.timeText = std::string("4:00\0PM", 7);
                 }}));

TEST(ApplyQuoteLineUpperCase, ChangesOnlyTheLabelsLetters) {
    QuoteFields fields;
    fields.label = "vod.l-b1";
    quotes::ApplyQuoteLine(kQuoteSource, "x,1", fields);
    EXPECT_EQ(fields.label, "VOD.L-B1");
}

// Bodies that no quote source sends: whatever arrives, the walk ends and sets
// only what the columns name.
class ApplyQuoteLineHostile : public ::testing::Test {
protected:
    static constexpr std::size_t kTenMegabytes = 10u << 20;
    QuoteFields fields = Earlier();
    QuoteFields expected = Earlier();
};

TEST_F(ApplyQuoteLineHostile, TenMegabytesWithoutACommaAreOneIgnoredField) {
    quotes::ApplyQuoteLine(kQuoteSource, std::string(kTenMegabytes, '7'), fields);
    ExpectSameFields(fields, expected);
}

TEST_F(ApplyQuoteLineHostile, TenMegabytesOfCommasSetNothing) {
    quotes::ApplyQuoteLine(kQuoteSource, std::string(kTenMegabytes, ','), fields);
    ExpectSameFields(fields, expected);
}

TEST_F(ApplyQuoteLineHostile, TenMegabytesOfLineFeedsForAUkSource) {
    quotes::ApplyQuoteLine(kHeaderSource, std::string(kTenMegabytes, '\n'), fields);
    ExpectSameFields(fields, expected);
}

TEST_F(ApplyQuoteLineHostile, AHugePriceField) {
    quotes::ApplyQuoteLine(kQuoteSource, "x," + std::string(kTenMegabytes, '9') + ",t", fields);
    expected.label = "IBM";
    expected.last = kInf;
    expected.timeText = "t";
    ExpectSameFields(fields, expected);
}

TEST_F(ApplyQuoteLineHostile, AHugeTimeFieldIsKeptWhole) {
    const std::string time(kTenMegabytes, 'T');
    quotes::ApplyQuoteLine(kQuoteSource, "x,1,\"" + time + "\",2", fields);
    expected.label = "IBM";
    expected.last = 1;
    expected.timeText = time;
    expected.change = 2;
    ExpectSameFields(fields, expected);
}

TEST_F(ApplyQuoteLineHostile, ThousandsOfColumns) {
    std::string body = "x,1,t,2,3,4,5,6,7";
    for (int i = 0; i < 200000; ++i) body += ",999";
    quotes::ApplyQuoteLine(kQuoteSource, body, fields);
    expected.label = "IBM";
    expected.last = 1;
    expected.timeText = "t";
    expected.change = 2;
    expected.low = 3;
    expected.high = 4;
    expected.prevClose = 5;
    expected.volume = 6;
    expected.open = 7;
    ExpectSameFields(fields, expected);
}

TEST_F(ApplyQuoteLineHostile, EveryByteValue) {
    // All 256 byte values, commas included, several times over: the numbers
    // each field starts with are what the columns get.
    std::string noise;
    for (int round = 0; round < 64; ++round) {
        for (int byte = 0; byte < 256; ++byte) noise += static_cast<char>(byte);
    }
    quotes::ApplyQuoteLine(kQuoteSource, noise, fields);
    // The first ',' (0x2C) ends column 1; every later field holds '-' (0x2D)
    // to 0xFF and then 0x00 to '+', and "-./" begins no number.
    expected.last = 0;
    expected.timeText.clear();
    for (int byte = '-'; byte < 256; ++byte) expected.timeText += static_cast<char>(byte);
    for (int byte = 0; byte < ','; ++byte) expected.timeText += static_cast<char>(byte);
    expected.change = 0;
    expected.low = 0;
    expected.high = 0;
    expected.prevClose = 0;
    expected.volume = 0;
    expected.open = 0;
    ExpectSameFields(fields, expected);
}

}  // namespace
