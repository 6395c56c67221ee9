#pragma once
// The gateway between the bar and the live sources: a cache per symbol, one
// upstream request in flight per symbol (later askers wait for it), a
// bounded number of requests at once, each source's limits, and fall-over
// to the next source. Every question is answered within its patience, from
// the cache, stale, or not at all (N/A); never with an invented price.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "service/sources/delay_notice.h"
#include "service/sources/quote_cache.h"
#include "service/sources/source_state.h"
#include "service/sources/upstream_client.h"

namespace service {

struct GatewaySettings {
    std::chrono::seconds cacheFor{60};
    // A symbol that no source answered is asked again this much sooner.
    std::chrono::seconds retryFailedAfter{15};
    // A source's definite "unknown" for a symbol (a typo, a delisted share)
    // is believed this long: a symbol no source knows costs each about one
    // request in this time.
    std::chrono::seconds rememberUnknownFor{3600};
    // The bar's own time-outs are far longer; a few seconds keep it moving.
    std::chrono::milliseconds answerPatience{3000};
    std::size_t maxCachedSymbols = 4096;
    std::size_t concurrentRequests = 4;
    std::size_t maxQueuedSymbols = 256;
    UpstreamLimits upstream;
    DelayNoticeTimes delayNotice;
    // The clocks of the cache, the back-offs and the delay notice; tests
    // put simulated ones in their place.
    std::function<SteadyClock::time_point()> steadyNow = [] { return SteadyClock::now(); };
    std::function<WallClock::time_point()> wallNow = [] { return WallClock::now(); };
};

struct GatewayCounts {
    std::uint64_t cacheHits = 0;
    std::uint64_t cacheMisses = 0;
    std::uint64_t answeredStale = 0;  // the last good quote: the fetch failed, was skipped or took too long
    std::uint64_t answeredNone = 0;   // N/A
    std::uint64_t overflowed = 0;     // not fetched: the queue was full
};

class LiveGateway {
public:
    LiveGateway(std::vector<ConfiguredSource> sources, GatewaySettings settings);
    ~LiveGateway();
    LiveGateway(const LiveGateway&) = delete;
    LiveGateway& operator=(const LiveGateway&) = delete;

    // The symbol's quote (upper case, as asked); nullopt for N/A. Blocks at
    // most the answer patience.
    std::optional<LiveQuote> Quote(const std::string& symbol);
    // The quotes of several symbols, in order, fetched side by side: the
    // whole answer within one answer patience, however many are asked for.
    std::vector<std::optional<LiveQuote>> Quotes(const std::vector<std::string>& symbols);

    // Each source's state, the cache's figures; without any key.
    std::string StatusJson();
    // The server message's item when the quotes are old because no source
    // answers; "" while they are fresh.
    std::string DelayNoticeText();

    std::size_t CachedSymbols();

private:
    struct Outcome {
        std::optional<LiveQuote> quote;
        bool answered = false;  // a source gave a quote or knew the symbol unknown
        bool unanswered = false;  // a source was asked in vain, or could not be for its limits or back-off
    };
    // Under the lock: the cached quote when it is fresh, else nullopt after
    // queueing the symbol for a fetch unless one is under way.
    std::optional<std::optional<LiveQuote>> CachedOrQueued(const std::string& symbol);
    bool StillFetching(const std::string& symbol);
    void Work();
    Outcome FetchFromSources(const std::string& symbol);
    void Finish(const std::string& symbol, Outcome outcome);
    // Under the lock: whether the source's "unknown" for the symbol still holds.
    bool KnownUnknown(const std::string& symbol, std::size_t source);
    void RememberUnknown(const std::string& symbol, std::size_t source);

    const GatewaySettings settings_;
    std::mutex mutex_;
    std::condition_variable fetched_;  // an entry stopped fetching
    std::condition_variable queued_;   // a symbol waits for a worker, or stop
    std::vector<SourceState> sources_;
    QuoteCache cache_;
    std::deque<std::string> queue_;
    GatewayCounts counts_;
    DelayNotice delayNotice_;
    std::atomic<bool> stopping_{false};
    std::vector<std::thread> workers_;
};

}  // namespace service
