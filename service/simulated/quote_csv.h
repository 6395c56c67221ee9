#pragma once
// The quote service's answer: one comma-separated line per symbol, columns
// chosen by the request's format letters ("f=sl1t1c1ghpv").
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "service/simulated/quote_model.h"

namespace service {

enum class QuoteColumn { Symbol, LastTrade, TradeTime, Change, DayLow, DayHigh, PreviousClose, Volume, Open, Unknown };

const char* const kDefaultQuoteFormat = "sl1t1c1ghpv";
const char* const kOpeningQuoteFormat = "sl1t1c1ghpvo";

// A letter, optionally followed by one digit, is one column; letters the
// service does not serve become Unknown (answered "N/A").
std::vector<QuoteColumn> ParseQuoteFormat(const std::string& format);

// One CRLF-ended line. Without a quote every value is N/A.
std::string QuoteCsvLine(const std::vector<QuoteColumn>& columns, const std::string& symbol,
                         const std::optional<Quote>& quote);

// The column titles that some sources send before their data.
std::string QuoteCsvHeader(const std::vector<QuoteColumn>& columns);

std::string PriceText(std::int64_t cents);   // "123.45"
std::string ChangeText(std::int64_t cents);  // "+1.25", "-0.50", "0.00"

}  // namespace service
