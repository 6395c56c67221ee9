#pragma once
// The market-data sources the gateway knows, each with its address, its
// key, its published limits and its parser.
#include <optional>
#include <string>
#include <vector>

#include "service/service_options.h"
#include "service/sources/live_quote.h"
#include "service/sources/upstream_client.h"

namespace service {

const char* const kSimulatedSource = kSimulatedSourceName;

struct SourceAdapter {
    const char* name;
    const char* defaultBase;  // scheme and host; the adapter adds path and query
    const char* keyVariable;  // environment variable of the key; nullptr for a keyless source
    int perMinute;            // requests; 0: no limit
    int perDay;
    // nullopt when the source has no form for the symbol.
    std::optional<UpstreamRequest> (*request)(const std::string& base, const std::string& symbol,
                                              const std::string& key);
    SourceAnswer (*parse)(const UpstreamResponse& response, const std::string& symbol);
    // The symbol as the source writes it, for pages that name it there.
    std::string (*symbolForm)(const std::string& symbol);
};

// nullptr for a name no adapter has ("simulated" is not an adapter).
const SourceAdapter* FindSourceAdapter(const std::string& name);

// Every adapter's name, for the usage text.
std::vector<std::string> SourceAdapterNames();

}  // namespace service
