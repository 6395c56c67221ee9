#include "service/sources/live_gateway.h"

#include "service/sources/ask_source.h"
#include "service/sources/retry_after.h"
#include "service/sources/symbol_forms.h"

namespace service {

namespace {

std::int64_t EpochNow() {
    return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}

}  // namespace

LiveGateway::LiveGateway(std::vector<ConfiguredSource> sources, GatewaySettings settings)
    : settings_(settings), cache_(settings.maxCachedSymbols) {
    for (ConfiguredSource& source : sources) sources_.emplace_back(std::move(source));
    for (std::size_t i = 0; i < settings_.concurrentRequests; ++i) workers_.emplace_back([this] { Work(); });
}

LiveGateway::~LiveGateway() {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;  // also ends transfers under way
    }
    queued_.notify_all();
    fetched_.notify_all();
    for (std::thread& worker : workers_) worker.join();
}

std::optional<LiveQuote> LiveGateway::Quote(const std::string& symbol) { return Quotes({symbol}).front(); }

std::vector<std::optional<LiveQuote>> LiveGateway::Quotes(const std::vector<std::string>& symbols) {
    std::vector<std::optional<LiveQuote>> quotes(symbols.size());
    std::vector<bool> waiting(symbols.size(), false);
    std::unique_lock<std::mutex> lock(mutex_);
    const auto deadline = SteadyClock::now() + settings_.answerPatience;
    for (std::size_t i = 0; i < symbols.size(); ++i) {
        if (!IsPlausibleSymbol(symbols[i])) continue;
        auto cached = CachedOrQueued(symbols[i]);
        if (cached) {
            quotes[i] = std::move(*cached);
        } else {
            waiting[i] = true;
        }
    }
    for (std::size_t i = 0; i < symbols.size(); ++i) {
        if (!waiting[i]) continue;
        const bool done =
            fetched_.wait_until(lock, deadline, [&] { return stopping_ || !StillFetching(symbols[i]); });
        // Once fetched the entry may be forgotten again: look it up anew.
        const CacheEntry* answered = cache_.Find(symbols[i]);
        quotes[i] = answered != nullptr ? answered->quote : std::nullopt;
        if (!quotes[i]) {
            ++counts_.answeredNone;
        } else if (!done) {
            ++counts_.answeredStale;
        }
    }
    return quotes;
}

std::optional<std::optional<LiveQuote>> LiveGateway::CachedOrQueued(const std::string& symbol) {
    CacheEntry& entry = cache_.Touch(symbol);
    if (entry.checked && !entry.fetching && SteadyClock::now() < entry.freshUntil) {
        ++counts_.cacheHits;
        if (!entry.quote) ++counts_.answeredNone;
        for (SourceState& state : sources_) {
            if (entry.quote && entry.quote->source == state.source.adapter->name) ++state.counts.cacheHits;
        }
        return entry.quote;
    }
    ++counts_.cacheMisses;
    if (entry.fetching) return std::nullopt;
    if (queue_.size() >= settings_.maxQueuedSymbols) {
        ++counts_.overflowed;
        ++(entry.quote ? counts_.answeredStale : counts_.answeredNone);
        return entry.quote;
    }
    entry.fetching = true;
    queue_.push_back(symbol);
    queued_.notify_one();
    return std::nullopt;
}

bool LiveGateway::StillFetching(const std::string& symbol) {
    const CacheEntry* entry = cache_.Find(symbol);
    return entry != nullptr && entry->fetching;
}

void LiveGateway::Work() {
    for (;;) {
        std::string symbol;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            queued_.wait(lock, [&] { return stopping_ || !queue_.empty(); });
            if (stopping_) return;
            symbol = std::move(queue_.front());
            queue_.pop_front();
        }
        Finish(symbol, FetchFromSources(symbol));
    }
}

LiveGateway::Outcome LiveGateway::FetchFromSources(const std::string& symbol) {
    for (SourceState& state : sources_) {
        const ConfiguredSource& source = state.source;
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            if (!CannotAsk(source, symbol).empty() || !state.limiter.TryTake(SteadyClock::now(), UtcDay()).empty()) {
                ++state.counts.skipped;
                continue;  // the next source may have room, a key or a form for it
            }
        }
        SourceAnswer answer = AskSource(source, symbol, settings_.upstream, &stopping_);
        const std::lock_guard<std::mutex> lock(mutex_);
        state.Record(answer, std::chrono::system_clock::now());
        if (answer.kind == AnswerKind::Limited) {
            const auto wait = answer.retryAfter ? RetryAfterDelay(*answer.retryAfter, EpochNow()) : std::nullopt;
            state.limiter.BackOff(SteadyClock::now(), wait);
        }
        if (answer.kind == AnswerKind::Quote) {
            state.limiter.Succeeded();
            answer.quote->source = source.adapter->name;
            return {std::move(answer.quote)};
        }
        if (stopping_) break;
    }
    return {};
}

void LiveGateway::Finish(const std::string& symbol, Outcome outcome) {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        CacheEntry* entry = cache_.Find(symbol);
        if (entry != nullptr) {
            const auto now = SteadyClock::now();
            entry->checked = true;
            entry->fetching = false;
            if (outcome.quote) {
                entry->quote = std::move(outcome.quote);
                entry->freshUntil = now + settings_.cacheFor;
            } else {
                // The last good quote stays, with its own time.
                entry->freshUntil = now + std::min(settings_.cacheFor, settings_.retryFailedAfter);
            }
        }
    }
    fetched_.notify_all();
}

std::size_t LiveGateway::CachedSymbols() {
    const std::lock_guard<std::mutex> lock(mutex_);
    return cache_.Size();
}

}  // namespace service
