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
    : settings_(std::move(settings)),
      cache_(settings_.maxCachedSymbols),
      delayNotice_(settings_.steadyNow(), settings_.wallNow(), settings_.delayNotice) {
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
        } else if (!done || answered->stale) {
            ++counts_.answeredStale;
        }
    }
    return quotes;
}

std::optional<std::optional<LiveQuote>> LiveGateway::CachedOrQueued(const std::string& symbol) {
    CacheEntry& entry = cache_.Touch(symbol);
    if (entry.checked && !entry.fetching && settings_.steadyNow() < entry.freshUntil) {
        ++counts_.cacheHits;
        if (!entry.quote) ++counts_.answeredNone;
        if (entry.quote && entry.stale) ++counts_.answeredStale;
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
    Outcome outcome;
    for (std::size_t i = 0; i < sources_.size(); ++i) {
        SourceState& state = sources_[i];
        const ConfiguredSource& source = state.source;
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            if (KnownUnknown(symbol, i)) {
                ++state.counts.skipped;
                outcome.answered = true;
                continue;
            }
            if (!CannotAsk(source, symbol).empty()) {
                ++state.counts.skipped;
                continue;  // the next source may have a key or a form for it
            }
            if (!state.limiter.TryTake(settings_.steadyNow(), UtcDay()).empty()) {
                ++state.counts.skipped;
                outcome.unanswered = true;
                continue;  // the next source may have room
            }
        }
        SourceAnswer answer = AskSource(source, symbol, settings_.upstream, &stopping_);
        const std::lock_guard<std::mutex> lock(mutex_);
        state.Record(answer, settings_.wallNow());
        const auto now = settings_.steadyNow();
        outcome.unanswered = true;
        switch (answer.kind) {
        case AnswerKind::Limited:
            state.limiter.BackOff(now, answer.retryAfter ? RetryAfterDelay(*answer.retryAfter, EpochNow()) : std::nullopt);
            break;
        case AnswerKind::Failed:
        case AnswerKind::NotTheFormat:
            // A hanging or broken source is skipped for a while rather than
            // asked again for every symbol.
            state.limiter.Failed(now);
            break;
        case AnswerKind::Unknown:
            state.limiter.Succeeded();
            RememberUnknown(symbol, i);
            outcome.answered = true;
            break;
        case AnswerKind::Refused: state.limiter.Succeeded(); break;
        case AnswerKind::Quote:
            state.limiter.Succeeded();
            answer.quote->source = source.adapter->name;
            outcome.quote = std::move(answer.quote);
            outcome.answered = true;
            return outcome;
        }
        if (stopping_) break;
    }
    return outcome;
}

bool LiveGateway::KnownUnknown(const std::string& symbol, std::size_t source) {
    const CacheEntry* entry = cache_.Find(symbol);
    return entry != nullptr && source < entry->unknownUntil.size() &&
           settings_.steadyNow() < entry->unknownUntil[source];
}

void LiveGateway::RememberUnknown(const std::string& symbol, std::size_t source) {
    CacheEntry* entry = cache_.Find(symbol);
    if (entry == nullptr) return;
    if (entry->unknownUntil.size() <= source) entry->unknownUntil.resize(sources_.size());
    entry->unknownUntil[source] = settings_.steadyNow() + settings_.rememberUnknownFor;
}

void LiveGateway::Finish(const std::string& symbol, Outcome outcome) {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        const auto now = settings_.steadyNow();
        if (outcome.quote) {
            delayNotice_.Fresh(now, settings_.wallNow());
        } else if (outcome.unanswered && !outcome.answered && !stopping_) {
            delayNotice_.Unanswered(now);
        }
        CacheEntry* entry = cache_.Find(symbol);
        if (entry != nullptr) {
            entry->checked = true;
            entry->fetching = false;
            entry->stale = !outcome.quote && entry->quote;
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

std::string LiveGateway::DelayNoticeText() {
    const std::lock_guard<std::mutex> lock(mutex_);
    return delayNotice_.Text(settings_.steadyNow());
}

std::size_t LiveGateway::CachedSymbols() {
    const std::lock_guard<std::mutex> lock(mutex_);
    return cache_.Size();
}

}  // namespace service
