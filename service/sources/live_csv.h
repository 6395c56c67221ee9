#pragma once
// The bar's legacy quote line from a live quote: the same columns as the
// simulated one, each N/A where the source gave nothing.
#include <optional>
#include <string>
#include <vector>

#include "service/simulated/quote_csv.h"
#include "service/sources/live_quote.h"

namespace service {

constexpr int kUsualPriceDecimals = 4;

// As many digits as the bar shows (six significant) and four decimals where
// the source gives them, two at least, no trailing zeros beyond two:
// "182.63", "123.50", "1.08453", "0.00001234".
std::string LivePriceText(double price);
// The decimals LivePriceText writes the price with, before trailing zeros go.
int PriceDecimals(double price);
// With a sign, to the decimals of the price it changes: "+1.85", "-0.50";
// "0.00" for what rounds to nothing.
std::string LiveChangeText(double change, int decimals = kUsualPriceDecimals);

// Against the previous close when there is one, else as the source states it.
std::optional<double> ChangeOf(const LiveQuote& quote);

// "4:00PM" in the exchange's own time; nullopt without a time or its zone.
std::optional<std::string> TradeTimeOf(const LiveQuote& quote);

// One CRLF-ended line; every value N/A without a quote.
std::string LiveCsvLine(const std::vector<QuoteColumn>& columns, const std::string& symbol,
                        const std::optional<LiveQuote>& quote);

}  // namespace service
