#pragma once
// Filling an item's values from the comma-separated answer of its quote source.
#include <string>
#include <string_view>

#include "quotes/quote_fields.h"

namespace quotes {

// Walks `body` as one stream of comma-separated fields and sets the values
// that the columns name: 2 last trade (and, when it is above 0, the label in
// upper case), 3 trade time, 4 change, 5 day's low, 6 day's high, 7 previous
// close, 8 volume, 9 opening price; column 1 and those past 9 are ignored.
// Only non-empty fields count as columns. A field that begins with '"' loses
// its first and its last byte. Line feeds do not separate: they stay inside
// the field they end. For a source address holding "uk" the body's first
// line is a header and is skipped. Values the body does not reach are left as
// they were. Any body, of any size or content, is walked once from the front
// where it lies, without a copy.
void ApplyQuoteLine(const std::string& sourceUrl, std::string_view body, QuoteFields& fields);

}  // namespace quotes
