#include "service/sources/quote_cache.h"

namespace service {

QuoteCache::QuoteCache(std::size_t maxSymbols) : maxSymbols_(maxSymbols) {}

CacheEntry& QuoteCache::Touch(const std::string& symbol) {
    const auto found = entries_.find(symbol);
    if (found != entries_.end()) {
        recent_.splice(recent_.begin(), recent_, found->second.recent);
        return found->second.entry;
    }
    recent_.push_front(symbol);
    Slot& slot = entries_[symbol];
    slot.recent = recent_.begin();
    ForgetBeyondBound();
    return slot.entry;
}

CacheEntry* QuoteCache::Find(const std::string& symbol) {
    const auto found = entries_.find(symbol);
    return found == entries_.end() ? nullptr : &found->second.entry;
}

void QuoteCache::ForgetBeyondBound() {
    // From the least recent, skipping entries in flight and the newest one.
    auto candidate = recent_.end();
    while (entries_.size() > maxSymbols_ && candidate != recent_.begin()) {
        --candidate;
        if (candidate == recent_.begin()) break;
        const auto slot = entries_.find(*candidate);
        if (slot->second.entry.fetching) continue;
        const auto next = std::next(candidate);
        entries_.erase(slot);
        recent_.erase(candidate);
        candidate = next;
    }
}

}  // namespace service
