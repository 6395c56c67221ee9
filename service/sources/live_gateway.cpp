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

std::optional<LiveQuote> LiveGateway::Quote(const std::string& symbol) {
    if (!IsPlausibleSymbol(symbol)) return std::nullopt;
    std::unique_lock<std::mutex> lock(mutex_);
    const auto now = SteadyClock::now();
    CacheEntry& entry = cache_.Touch(symbol);
    if (entry.checked && !entry.fetching && now < entry.freshUntil) {
        ++counts_.cacheHits;
        if (!entry.quote) ++counts_.answeredNone;
        return entry.quote;
    }
    ++counts_.cacheMisses;
    if (!entry.fetching) {
        if (queue_.size() >= settings_.maxQueuedSymbols) {
            ++counts_.overflowed;
            ++(entry.quote ? counts_.answeredStale : counts_.answeredNone);
            return entry.quote;
        }
        entry.fetching = true;
        queue_.push_back(symbol);
        queued_.notify_one();
    }
    // The entry cannot be forgotten while it is fetched, but may be once it
    // is done: look it up again.
    const auto deadline = now + settings_.answerPatience;
    const bool done = fetched_.wait_until(lock, deadline, [&] {
        const CacheEntry* waited = cache_.Find(symbol);
        return stopping_ || waited == nullptr || !waited->fetching;
    });
    const CacheEntry* answered = cache_.Find(symbol);
    std::optional<LiveQuote> quote = answered != nullptr ? answered->quote : std::nullopt;
    if (!quote) {
        ++counts_.answeredNone;
    } else if (!done) {
        ++counts_.answeredStale;
    }
    return quote;
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
            if (!CannotAsk(source, symbol).empty() || !state.limiter.TryTake(SteadyClock::now()).empty()) {
                ++state.counts.skipped;
                continue;  // the next source may have room, a key or a form for it
            }
        }
        const auto request = source.adapter->request(source.base, symbol, source.key);
        SourceAnswer answer = source.adapter->parse(FetchUpstream(*request, settings_.upstream, &stopping_), symbol);
        const std::lock_guard<std::mutex> lock(mutex_);
        state.Record(answer, std::chrono::system_clock::now());
        if (answer.kind == AnswerKind::Limited) {
            const auto wait = answer.retryAfter ? RetryAfterDelay(*answer.retryAfter, EpochNow()) : std::nullopt;
            state.limiter.BackOff(SteadyClock::now(), wait);
        }
        if (answer.kind == AnswerKind::Quote) {
            state.limiter.Succeeded();
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
