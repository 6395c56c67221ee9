#pragma once
// One question to one source: its form of the symbol, the GET, its parser.
#include <atomic>
#include <string>
#include <vector>

#include "service/service_options.h"
#include "service/sources/source_state.h"
#include "service/sources/upstream_client.h"

namespace service {

// The live sources of the options, in order, with their keys and addresses.
std::vector<ConfiguredSource> ConfiguredSources(const ServiceOptions& options);

// Whether the source can be asked for the symbol at all; the reason when not
// ("needs a key", "has no form for the symbol"). No request is made.
std::string CannotAsk(const ConfiguredSource& source, const std::string& symbol);

// Asks without looking at any limit; Failed with the reason when it cannot ask.
SourceAnswer AskSource(const ConfiguredSource& source, const std::string& symbol, const UpstreamLimits& limits,
                       const std::atomic<bool>* stop = nullptr);

}  // namespace service
