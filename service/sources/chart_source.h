#pragma once
// The keyless chart API: one symbol a request, the day's quote in
// chart.result[0].meta and its five-minute series beside it.
#include <optional>
#include <string>

#include "service/sources/live_quote.h"
#include "service/sources/upstream_client.h"

namespace service {

const char* const kChartPath = "/v8/finance/chart/";
const char* const kChartQuery = "?range=1d&interval=5m";
// The chart API answers 429 to clients that do not look like a browser.
const char* const kBrowserUserAgent =
    "Mozilla/5.0 (Windows NT 10.0; Win64; x64) AppleWebKit/537.36 (KHTML, like Gecko) Chrome/131.0.0.0 "
    "Safari/537.36";
// Enough for a whole day of five-minute points on any exchange.
constexpr std::size_t kMaxSeriesPoints = 400;

// The chart API writes symbols as the bar does ("VOD.L", "^DJI", "EURUSD=X"),
// class shares with a dash ("BRK-B").
std::string ChartSymbolForm(const std::string& symbol);
std::optional<UpstreamRequest> ChartRequest(const std::string& base, const std::string& symbol, const std::string& key);

SourceAnswer ParseChartAnswer(const UpstreamResponse& response, const std::string& symbol);

}  // namespace service
