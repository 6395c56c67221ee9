#pragma once
// One configured source as the gateway runs it: where it is, its key, its
// limiter and what it has answered so far (for /status). Not locked: the
// gateway holds the lock.
#include <chrono>
#include <cstdint>
#include <string>

#include "service/sources/live_quote.h"
#include "service/sources/source_adapters.h"
#include "service/sources/source_limiter.h"

namespace service {

struct ConfiguredSource {
    const SourceAdapter* adapter = nullptr;
    std::string base;  // its own or the --provider-url
    std::string key;   // empty for a keyless source or one without a key
    int perMinute = 0;  // the adapter's published limits unless --limit says otherwise; 0: none
    int perDay = 0;
};

// What a source has answered, by kind.
struct SourceCounts {
    std::uint64_t requests = 0;
    std::uint64_t quotes = 0;
    std::uint64_t unknown = 0;
    std::uint64_t limited = 0;
    std::uint64_t refused = 0;
    std::uint64_t failed = 0;
    std::uint64_t notTheFormat = 0;
    std::uint64_t skipped = 0;  // not asked: its limit, its back-off, no form for the symbol
    std::uint64_t cacheHits = 0;  // asks answered from the cache with a quote it gave
};

struct SourceState {
    explicit SourceState(ConfiguredSource configured);

    // Counts an answer and keeps its time and reason.
    void Record(const SourceAnswer& answer, std::chrono::system_clock::time_point when);

    ConfiguredSource source;
    SourceLimiter limiter;
    SourceCounts counts;
    std::chrono::system_clock::time_point lastSuccess{};  // epoch: never
    std::chrono::system_clock::time_point lastErrorAt{};
    std::string lastError;  // never holds a key: reasons are the adapters' own words
};

// "2026-12-10T19:14:31Z"; "" for the epoch (never).
std::string UtcText(std::chrono::system_clock::time_point when);

}  // namespace service
