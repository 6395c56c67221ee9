#pragma once
// The day's price chart of a live quote: the source's intraday series as
// inline SVG, times along the axis in the exchange's own time, that zone
// named beneath. It scales to the width of the page.
#include <string>

#include "service/sources/live_quote.h"

namespace service {

// Empty markup when the quote has fewer than two points.
std::string IntradayChartSvg(const LiveQuote& quote);

// "America/New_York (UTC-4)", "UTC+5:30"; the offset alone without a name.
std::string TimeZoneText(const LiveQuote& quote);

}  // namespace service
