#pragma once
// The live quotes the gateway holds, one entry per symbol, with the least
// recently asked-for forgotten beyond a bound, so any number of distinct
// symbols cannot make the service grow. An entry being fetched is never
// forgotten. Not locked: its owner holds the lock.
#include <chrono>
#include <cstddef>
#include <list>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "service/sources/live_quote.h"
#include "service/sources/source_limiter.h"

namespace service {

struct CacheEntry {
    std::optional<LiveQuote> quote;      // the last good one, kept when later fetches fail
    SteadyClock::time_point freshUntil;  // no upstream request before then
    bool checked = false;                // asked upstream at least once
    bool fetching = false;               // one request in flight; others wait for it
    bool stale = false;                  // the quote is the last good one: the latest fetch brought none
    // Per source, in the gateway's order: until when its "unknown" is believed.
    std::vector<SteadyClock::time_point> unknownUntil;
};

class QuoteCache {
public:
    explicit QuoteCache(std::size_t maxSymbols);

    // The symbol's entry, made if missing; it becomes the most recently used.
    CacheEntry& Touch(const std::string& symbol);
    // nullptr when the symbol has no entry.
    CacheEntry* Find(const std::string& symbol);
    std::size_t Size() const { return entries_.size(); }
    std::size_t MaxSymbols() const { return maxSymbols_; }

private:
    struct Slot {
        CacheEntry entry;
        std::list<std::string>::iterator recent;
    };
    void ForgetBeyondBound();

    const std::size_t maxSymbols_;
    std::list<std::string> recent_;  // most recently used first
    std::unordered_map<std::string, Slot> entries_;
};

}  // namespace service
