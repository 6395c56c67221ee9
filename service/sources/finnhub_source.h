#pragma once
// Finnhub's quote: c price, d change, h, l, o, pc previous close, t epoch;
// no volume. The free plan covers US stocks, so times are New York's.
#include <optional>
#include <string>

#include "service/sources/live_quote.h"
#include "service/sources/upstream_client.h"

namespace service {

const char* const kFinnhubPath = "/api/v1/quote";
// The key goes in a header rather than the address, so no address ever holds it.
const char* const kFinnhubKeyHeader = "X-Finnhub-Token: ";

// Class shares with a dash ("BRK-B"), other symbols as the bar writes them.
std::string FinnhubSymbolForm(const std::string& symbol);
// Indices and currencies are not on the quote endpoint: nullopt for them.
std::optional<UpstreamRequest> FinnhubRequest(const std::string& base, const std::string& symbol,
                                              const std::string& key);

SourceAnswer ParseFinnhubAnswer(const UpstreamResponse& response, const std::string& symbol);

}  // namespace service
