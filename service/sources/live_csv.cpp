#include "service/sources/live_csv.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "service/sources/exchange_time.h"

namespace service {

namespace {

const char* const kNotAvailable = "N/A";
const char* const kLineEnd = "\r\n";
constexpr int kMinDecimals = 2;
// The bar shows prices with printf's %g: six significant digits.
constexpr int kSignificantDigits = 6;
constexpr int kMostDecimals = 20;
constexpr double kTen = 10;

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// The echoed symbol must not break the line it stands in.
std::string PrintableSymbol(const std::string& symbol) {
    std::string printable;
    for (const char c : symbol) {
        if (c != '"' && c != ',' && static_cast<unsigned char>(c) >= ' ') printable.push_back(c);
    }
    return printable;
}

std::string FixedText(double value, int decimals) {
    if (!std::isfinite(value)) return kNotAvailable;
    char text[400];  // the longest double in %f
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    std::string shown = text;
    // Drop zeros beyond the second decimal.
    const std::size_t point = shown.find('.');
    if (point == std::string::npos) return shown;
    while (shown.size() > point + 1 + kMinDecimals && shown.back() == '0') shown.pop_back();
    if (shown == "-0.00") shown = "0.00";
    return shown;
}

std::string PriceOrNa(const std::optional<double>& price) { return price ? LivePriceText(*price) : kNotAvailable; }

std::string ColumnText(QuoteColumn column, const std::string& symbol, const std::optional<LiveQuote>& quote) {
    if (column == QuoteColumn::Symbol) return Quoted(PrintableSymbol(symbol));
    if (!quote) return column == QuoteColumn::TradeTime ? Quoted(kNotAvailable) : kNotAvailable;
    switch (column) {
    case QuoteColumn::LastTrade: return PriceOrNa(quote->last);
    case QuoteColumn::TradeTime: return Quoted(TradeTimeOf(*quote).value_or(kNotAvailable));
    case QuoteColumn::Change: {
        const auto change = ChangeOf(*quote);
        return change ? LiveChangeText(*change, PriceDecimals(quote->last.value_or(0))) : kNotAvailable;
    }
    case QuoteColumn::DayLow: return PriceOrNa(quote->low);
    case QuoteColumn::DayHigh: return PriceOrNa(quote->high);
    case QuoteColumn::PreviousClose: return PriceOrNa(quote->previousClose);
    case QuoteColumn::Volume: return quote->volume ? std::to_string(*quote->volume) : kNotAvailable;
    case QuoteColumn::Open: return PriceOrNa(quote->open);
    default: return kNotAvailable;
    }
}

}  // namespace

int PriceDecimals(double price) {
    if (!std::isfinite(price) || price == 0) return kUsualPriceDecimals;
    const int exponent = static_cast<int>(std::floor(std::log10(std::fabs(price))));
    return std::clamp(kSignificantDigits - 1 - exponent, kUsualPriceDecimals, kMostDecimals);
}

std::string LivePriceText(double price) { return FixedText(price, PriceDecimals(price)); }

std::string LiveChangeText(double change, int decimals) {
    if (std::fabs(change) < std::pow(kTen, -decimals) / 2) return "0.00";
    const std::string shown = FixedText(change, decimals);
    return change > 0 ? "+" + shown : shown;
}

std::optional<double> ChangeOf(const LiveQuote& quote) {
    if (quote.last && quote.previousClose && *quote.previousClose > 0) return *quote.last - *quote.previousClose;
    return quote.change;
}

std::optional<std::string> TradeTimeOf(const LiveQuote& quote) {
    if (!quote.time || !quote.utcOffsetSeconds) return std::nullopt;
    return ClockText(*quote.time, *quote.utcOffsetSeconds);
}

std::string LiveCsvLine(const std::vector<QuoteColumn>& columns, const std::string& symbol,
                        const std::optional<LiveQuote>& quote) {
    std::string line;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (i > 0) line += ',';
        line += ColumnText(columns[i], symbol, quote);
    }
    return line + kLineEnd;
}

}  // namespace service
