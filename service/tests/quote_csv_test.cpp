#include "service/simulated/quote_csv.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace service {
namespace {

Quote SampleQuote() {
    Quote quote;
    quote.symbol = "IBM";
    quote.lastCents = 12350;
    quote.prevCloseCents = 12225;
    quote.openCents = 12240;
    quote.lowCents = 12000;
    quote.highCents = 12400;
    quote.volume = 1234567;
    quote.minutesSinceOpen = 390;
    return quote;
}

std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (std::size_t comma = line.find(','); comma != std::string::npos; comma = line.find(',', start)) {
        fields.push_back(line.substr(start, comma - start));
        start = comma + 1;
    }
    fields.push_back(line.substr(start));
    return fields;
}

double Cents(const std::string& field) { return std::strtod(field.c_str(), nullptr) * 100.0; }

TEST(QuoteFormat, ReadsLettersWithTheirDigits) {
    using C = QuoteColumn;
    EXPECT_EQ(ParseQuoteFormat(kDefaultQuoteFormat),
              (std::vector<C>{C::Symbol, C::LastTrade, C::TradeTime, C::Change, C::DayLow, C::DayHigh, C::PreviousClose,
                              C::Volume}));
    EXPECT_EQ(ParseQuoteFormat(kOpeningQuoteFormat).size(), 9u);
    EXPECT_EQ(ParseQuoteFormat(kOpeningQuoteFormat).back(), C::Open);
    EXPECT_EQ(ParseQuoteFormat("sx9l1"), (std::vector<C>{C::Symbol, C::Unknown, C::LastTrade}));
    EXPECT_EQ(ParseQuoteFormat("l"), (std::vector<C>{C::Unknown}));
    EXPECT_TRUE(ParseQuoteFormat("").empty());
}

TEST(QuoteLine, HasTheColumnsInTheOrderAsked) {
    const Quote quote = SampleQuote();
    EXPECT_EQ(QuoteCsvLine(ParseQuoteFormat(kDefaultQuoteFormat), "IBM", quote),
              "\"IBM\",123.50,\"4:00PM\",+1.25,120.00,124.00,122.25,1234567\r\n");
    EXPECT_EQ(QuoteCsvLine(ParseQuoteFormat(kOpeningQuoteFormat), "IBM", quote),
              "\"IBM\",123.50,\"4:00PM\",+1.25,120.00,124.00,122.25,1234567,122.40\r\n");
    EXPECT_EQ(QuoteCsvLine(ParseQuoteFormat("vsz"), "IBM", quote), "1234567,\"IBM\",N/A\r\n");
}

TEST(QuoteLine, IsAllNotAvailableForAnUnknownSymbol) {
    EXPECT_EQ(QuoteCsvLine(ParseQuoteFormat(kDefaultQuoteFormat), "BOGUS", std::nullopt),
              "\"BOGUS\",N/A,\"N/A\",N/A,N/A,N/A,N/A,N/A\r\n");
    EXPECT_EQ(QuoteCsvLine(ParseQuoteFormat(kOpeningQuoteFormat), "BOGUS", std::nullopt),
              "\"BOGUS\",N/A,\"N/A\",N/A,N/A,N/A,N/A,N/A,N/A\r\n");
}

TEST(QuoteLine, KeepsAnEchoedSymbolInsideItsQuotes) {
    EXPECT_EQ(QuoteCsvLine({QuoteColumn::Symbol}, "A\"B\r\nC", std::nullopt), "\"ABC\"\r\n");
}

TEST(QuoteLine, ReadsBackAsTheQuotesValues) {
    QuoteModel model(17);
    for (int step = 0; step < 50; ++step) {
        const Quote quote = *model.Next("MSFT");
        const std::string line = QuoteCsvLine(ParseQuoteFormat(kOpeningQuoteFormat), "MSFT", quote);
        ASSERT_EQ(line.substr(line.size() - 2), "\r\n");
        const auto fields = Fields(line.substr(0, line.size() - 2));
        ASSERT_EQ(fields.size(), 9u) << line;
        EXPECT_EQ(fields[0], "\"MSFT\"");
        EXPECT_DOUBLE_EQ(Cents(fields[1]), static_cast<double>(quote.lastCents));
        EXPECT_EQ(fields[2], "\"" + TradeTimeText(quote.minutesSinceOpen) + "\"");
        EXPECT_DOUBLE_EQ(Cents(fields[3]), static_cast<double>(quote.lastCents - quote.prevCloseCents));
        EXPECT_DOUBLE_EQ(Cents(fields[4]), static_cast<double>(quote.lowCents));
        EXPECT_DOUBLE_EQ(Cents(fields[5]), static_cast<double>(quote.highCents));
        EXPECT_DOUBLE_EQ(Cents(fields[6]), static_cast<double>(quote.prevCloseCents));
        EXPECT_EQ(fields[7], std::to_string(quote.volume));
        EXPECT_DOUBLE_EQ(Cents(fields[8]), static_cast<double>(quote.openCents));
    }
}

TEST(QuoteHeader, NamesEveryColumn) {
    EXPECT_EQ(QuoteCsvHeader(ParseQuoteFormat(kOpeningQuoteFormat)),
              "Symbol,Last Trade,Trade Time,Change,Day's Low,Day's High,Previous Close,Volume,Open\r\n");
    EXPECT_EQ(QuoteCsvHeader(ParseQuoteFormat("sz")), "Symbol,Unknown\r\n");
}

TEST(NumberText, WritesTwoDecimalsAndASignedChange) {
    const struct {
        std::int64_t cents;
        const char* price;
        const char* change;
    } cases[] = {
        {0, "0.00", "0.00"},
        {5, "0.05", "+0.05"},
        {125, "1.25", "+1.25"},
        {-50, "-0.50", "-0.50"},
        {12345, "123.45", "+123.45"},
        {-100, "-1.00", "-1.00"},
        {1000000, "10000.00", "+10000.00"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PriceText(c.cents), c.price) << c.cents;
        EXPECT_EQ(ChangeText(c.cents), c.change) << c.cents;
    }
}

}  // namespace
}  // namespace service
