#include "quotes/quote_line.h"

#include <algorithm>
#include <cstddef>
#include <string_view>

#include "quotes/number_format.h"
#include "quotes/text.h"

namespace quotes {

namespace {

constexpr const char* kHeaderLineMarker = "uk";
constexpr char kLineFeed = '\n';
constexpr char kSeparator = ',';
constexpr char kQuote = '"';

enum Column : std::size_t {
    kSymbolColumn = 1,
    kLastColumn,
    kTimeColumn,
    kChangeColumn,
    kLowColumn,
    kHighColumn,
    kPrevCloseColumn,
    kVolumeColumn,
    kOpenColumn,
};

// A quoted field loses its first and last byte, whatever the last one is, so
// an unclosed quote costs the field its last character.
std::string_view StripQuotes(std::string_view field) {
    if (field.front() != kQuote) return field;
    field.remove_prefix(1);
    if (!field.empty()) field.remove_suffix(1);
    return field;
}

void ApplyColumn(std::size_t column, std::string_view field, QuoteFields& fields) {
    switch (column) {
    case kLastColumn:
        fields.last = ReadDecimal(field);
        if (fields.last > 0) fields.label = UpperCase(fields.label);
        break;
    case kTimeColumn: fields.timeText.assign(field.data(), field.size()); break;
    case kChangeColumn: fields.change = ReadDecimal(field); break;
    case kLowColumn: fields.low = ReadDecimal(field); break;
    case kHighColumn: fields.high = ReadDecimal(field); break;
    case kPrevCloseColumn: fields.prevClose = ReadDecimal(field); break;
    case kVolumeColumn: fields.volume = ReadInteger32(field); break;
    case kOpenColumn: fields.open = ReadDecimal(field); break;
    default: break;  // the symbol, and anything after the opening price
    }
}

}  // namespace

void ApplyQuoteLine(const std::string& sourceUrl, std::string_view body, QuoteFields& fields) {
    std::size_t begin = 0;
    if (sourceUrl.find(kHeaderLineMarker) != std::string::npos) {
        const std::size_t lineEnd = body.find(kLineFeed);
        if (lineEnd != std::string_view::npos) begin = lineEnd + 1;
    }
    std::size_t column = 0;
    // Past the opening price no column sets anything, so the walk can end.
    while (begin < body.size() && column < kOpenColumn) {
        // The last field ends with the body.
        const std::size_t end = std::min(body.find(kSeparator, begin), body.size());
        const std::string_view field = body.substr(begin, end - begin);
        begin = end + 1;
        if (field.empty()) continue;
        ++column;
        ApplyColumn(column, StripQuotes(field), fields);
    }
}

}  // namespace quotes
