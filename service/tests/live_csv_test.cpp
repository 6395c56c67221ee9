#include "service/sources/live_csv.h"

#include <gtest/gtest.h>

namespace service {
namespace {

const std::vector<QuoteColumn> kDefault = ParseQuoteFormat(kDefaultQuoteFormat);
const std::vector<QuoteColumn> kOpening = ParseQuoteFormat(kOpeningQuoteFormat);

LiveQuote Ibm() {
    LiveQuote quote;
    quote.symbol = "IBM";
    quote.last = 182.63;
    quote.previousClose = 180.78;
    quote.change = 9.99;  // the source's own; the previous close wins
    quote.low = 180.97;
    quote.high = 183.12;
    quote.open = 181.05;
    quote.volume = 4321000;
    quote.time = 1796936400;  // 21:00 UTC
    quote.utcOffsetSeconds = -5 * 3600;
    return quote;
}

TEST(LiveCsv, WritesTheLegacyLineFromALiveQuote) {
    EXPECT_EQ(LiveCsvLine(kDefault, "IBM", Ibm()), "\"IBM\",182.63,\"4:00PM\",+1.85,180.97,183.12,180.78,4321000\r\n");
    EXPECT_EQ(LiveCsvLine(kOpening, "IBM", Ibm()),
              "\"IBM\",182.63,\"4:00PM\",+1.85,180.97,183.12,180.78,4321000,181.05\r\n");
}

TEST(LiveCsv, WritesNaForWhatTheSourceDidNotGive) {
    LiveQuote quote;
    quote.last = 71.52;
    quote.change = -0.5;  // no previous close: the source's change
    EXPECT_EQ(LiveCsvLine(kOpening, "VOD.L", quote), "\"VOD.L\",71.52,\"N/A\",-0.50,N/A,N/A,N/A,N/A,N/A\r\n");
    quote.change.reset();
    EXPECT_EQ(LiveCsvLine(kDefault, "X", quote), "\"X\",71.52,\"N/A\",N/A,N/A,N/A,N/A,N/A\r\n");
    EXPECT_EQ(LiveCsvLine(kDefault, "BOGUS", std::nullopt), "\"BOGUS\",N/A,\"N/A\",N/A,N/A,N/A,N/A,N/A\r\n");
}

TEST(LiveCsv, WritesPricesAsTheSourceGivesThem) {
    struct Case {
        double price;
        const char* text;
    };
    const Case prices[] = {{182.63, "182.63"},         {123.5, "123.50"},      {1.08453, "1.08453"},
                           {1.0845, "1.0845"},         {0.00004, "0.00004"},   {0.00001234, "0.00001234"},
                           {0.512345678, "0.512346"},  {34567.1, "34567.10"},  {43210.123456, "43210.1235"},
                           {1e15, "1000000000000000.00"}};
    for (const Case& c : prices) EXPECT_EQ(LivePriceText(c.price), c.text) << c.price;
    const Case changes[] = {{1.8499999999, "+1.85"}, {-0.5, "-0.50"}, {0.0, "0.00"}, {-0.00001, "0.00"},
                            {0.0012, "+0.0012"}};
    for (const Case& c : changes) EXPECT_EQ(LiveChangeText(c.price), c.text) << c.price;
}

TEST(LiveCsv, KeepsTheDigitsOfSmallPricesAndTheirChanges) {
    service::LiveQuote quote;
    quote.last = 0.00001234;
    quote.previousClose = 0.00001221;
    quote.low = 0.0000120;
    EXPECT_EQ(LiveCsvLine(kDefault, "SHIB-USD", quote),
              "\"SHIB-USD\",0.00001234,\"N/A\",+0.00000013,0.000012,N/A,0.00001221,N/A\r\n");
}

TEST(LiveCsv, KeepsTheEchoedSymbolFromBreakingTheLine) {
    EXPECT_EQ(LiveCsvLine({QuoteColumn::Symbol}, "A\"B,C\r\n", std::nullopt), "\"ABC\"\r\n");
}

}  // namespace
}  // namespace service
