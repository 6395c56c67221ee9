#pragma once
// Twelve Data's quote: every number as a string; errors as JSON with code
// and message, often with status 200.
#include <optional>
#include <string>

#include "service/sources/live_quote.h"
#include "service/sources/upstream_client.h"

namespace service {

const char* const kTwelveDataPath = "/quote";
// The key goes in a header rather than the address, so no address ever holds it.
const char* const kTwelveDataKeyHeader = "Authorization: apikey ";

// The symbol as Twelve Data writes it in one word ("VOD:LSE", "EUR/USD",
// "BRK.B"); as the bar writes it where Twelve Data has no form for it.
std::string TwelveDataSymbolForm(const std::string& symbol);
// London symbols go as the plain symbol on LSE ("VOD.L": symbol=VOD,
// exchange=LSE), currencies as "EUR/USD"; indices need a paid plan, other
// exchange suffixes are not mapped: nullopt for those.
std::optional<UpstreamRequest> TwelveDataRequest(const std::string& base, const std::string& symbol,
                                                 const std::string& key);

SourceAnswer ParseTwelveDataAnswer(const UpstreamResponse& response, const std::string& symbol);

}  // namespace service
