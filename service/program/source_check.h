#pragma once
// velmoria-service --check SYMBOL...: asks each configured source once for
// each symbol, without cache or limiter, and says what it answered or why
// not; the command a user runs to see that keys and network work.
#include <ostream>

#include "service/service_options.h"
#include "service/sources/upstream_client.h"

namespace service {

// True when at least one source gave a quote. Never prints a key.
bool CheckSources(const ServiceOptions& options, std::ostream& out, const UpstreamLimits& limits = {});

}  // namespace service
