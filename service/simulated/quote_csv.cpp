#include "service/simulated/quote_csv.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>

namespace service {

namespace {

constexpr std::int64_t kCentsPerUnit = 100;
const char* const kNotAvailable = "N/A";
const char* const kLineEnd = "\r\n";

struct FormatLetter {
    const char* token;
    QuoteColumn column;
    const char* title;
};

const FormatLetter kFormatLetters[] = {
    {"s", QuoteColumn::Symbol, "Symbol"},
    {"l1", QuoteColumn::LastTrade, "Last Trade"},
    {"t1", QuoteColumn::TradeTime, "Trade Time"},
    {"c1", QuoteColumn::Change, "Change"},
    {"g", QuoteColumn::DayLow, "Day's Low"},
    {"h", QuoteColumn::DayHigh, "Day's High"},
    {"p", QuoteColumn::PreviousClose, "Previous Close"},
    {"v", QuoteColumn::Volume, "Volume"},
    {"o", QuoteColumn::Open, "Open"},
};

const char* const kUnknownTitle = "Unknown";

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// The echoed symbol must not break the line it stands in.
std::string PrintableSymbol(const std::string& symbol) {
    std::string printable;
    for (const char c : symbol) {
        if (c != '"' && static_cast<unsigned char>(c) >= ' ') printable.push_back(c);
    }
    return printable;
}

std::string ColumnText(QuoteColumn column, const std::string& symbol, const std::optional<Quote>& quote) {
    if (column == QuoteColumn::Symbol) return Quoted(PrintableSymbol(symbol));
    if (!quote) return column == QuoteColumn::TradeTime ? Quoted(kNotAvailable) : kNotAvailable;
    switch (column) {
    case QuoteColumn::LastTrade: return PriceText(quote->lastCents);
    case QuoteColumn::TradeTime: return Quoted(TradeTimeText(quote->minutesSinceOpen));
    case QuoteColumn::Change: return ChangeText(quote->lastCents - quote->prevCloseCents);
    case QuoteColumn::DayLow: return PriceText(quote->lowCents);
    case QuoteColumn::DayHigh: return PriceText(quote->highCents);
    case QuoteColumn::PreviousClose: return PriceText(quote->prevCloseCents);
    case QuoteColumn::Volume: return std::to_string(quote->volume);
    case QuoteColumn::Open: return PriceText(quote->openCents);
    default: return kNotAvailable;
    }
}

template <typename Each>
std::string JoinColumns(const std::vector<QuoteColumn>& columns, Each each) {
    std::string line;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (i > 0) line += ',';
        line += each(columns[i]);
    }
    return line + kLineEnd;
}

}  // namespace

std::vector<QuoteColumn> ParseQuoteFormat(const std::string& format) {
    std::vector<QuoteColumn> columns;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (!std::isalpha(static_cast<unsigned char>(format[i]))) continue;
        std::string token(1, format[i]);
        if (i + 1 < format.size() && std::isdigit(static_cast<unsigned char>(format[i + 1]))) token += format[++i];
        QuoteColumn column = QuoteColumn::Unknown;
        for (const FormatLetter& letter : kFormatLetters) {
            if (token == letter.token) column = letter.column;
        }
        columns.push_back(column);
    }
    return columns;
}

std::string QuoteCsvLine(const std::vector<QuoteColumn>& columns, const std::string& symbol,
                         const std::optional<Quote>& quote) {
    return JoinColumns(columns, [&](QuoteColumn column) { return ColumnText(column, symbol, quote); });
}

std::string QuoteCsvHeader(const std::vector<QuoteColumn>& columns) {
    return JoinColumns(columns, [](QuoteColumn column) -> std::string {
        for (const FormatLetter& letter : kFormatLetters) {
            if (letter.column == column) return letter.title;
        }
        return kUnknownTitle;
    });
}

std::string PriceText(std::int64_t cents) {
    char text[32];
    std::snprintf(text, sizeof text, "%s%lld.%02lld", cents < 0 ? "-" : "",
                  static_cast<long long>(std::llabs(cents) / kCentsPerUnit),
                  static_cast<long long>(std::llabs(cents) % kCentsPerUnit));
    return text;
}

std::string ChangeText(std::int64_t cents) { return cents > 0 ? "+" + PriceText(cents) : PriceText(cents); }

}  // namespace service
