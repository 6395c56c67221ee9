#pragma once
// The values one quote item shows: what a quote line fills in and what the
// data text is formatted from.
#include <cstdint>
#include <string>

namespace quotes {

struct QuoteFields {
    std::string label;     // the symbol as typed; upper-cased when a price arrives
    std::string timeText;  // time of the last trade, as received
    double last = 0;       // 0 means no quote
    double change = 0;
    double prevClose = 0;
    double open = 0;
    double high = 0;
    double low = 0;
    std::int32_t volume = 0;
};

}  // namespace quotes
