#pragma once
// A source's own limits: requests per minute and per day, counted apart
// (a per-minute limiter does not keep a daily quota), and the back-off a
// 429 or a failing source earns: no request until it has passed, then one
// request at a time (a probe) until the source answers again. The day is the UTC day, as the sources count their daily
// quotas: a day counted from the first request would let twice the quota
// through in one of theirs. Not locked: its owner holds the lock.
#include <chrono>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>

namespace service {

using SteadyClock = std::chrono::steady_clock;

// Without Retry-After: 30 s, then twice as long each time, at most 15 minutes.
constexpr std::chrono::seconds kFirstBackOff{30};
constexpr std::chrono::seconds kLongestBackOff{900};
// A Retry-After is kept within these: 0 would switch the back-off off, and a
// huge one would silence the source until a restart.
constexpr std::chrono::seconds kLongestRetryAfter{3600};

struct LimiterUse {
    int lastMinute = 0;
    int lastDay = 0;
    int perMinute = 0;  // 0: no limit
    int perDay = 0;
    std::chrono::seconds backOffLeft{0};
};

// Today's UTC day, by the system clock.
std::int64_t UtcDay();

class SourceLimiter {
public:
    SourceLimiter(int perMinute, int perDay);

    // Takes a request's place, or says why not ("" when taken). utcDay:
    // days since 1970-01-01 in UTC (UtcDay()).
    std::string TryTake(SteadyClock::time_point now, std::int64_t utcDay);
    // A 429: no request until Retry-After has passed (at least the doubling
    // back-off, at most an hour), or the doubling back-off.
    void BackOff(SteadyClock::time_point now, std::optional<std::chrono::seconds> retryAfter);
    // No answer, or not its format: the doubling back-off.
    void Failed(SteadyClock::time_point now);
    // Any answer of the source's own (a quote, an unknown symbol, a refusal)
    // ends the doubling and the probing.
    void Succeeded();
    LimiterUse Use(SteadyClock::time_point now, std::int64_t utcDay);

private:
    void Forget(SteadyClock::time_point now, std::int64_t utcDay);
    void Pause(SteadyClock::time_point now, std::chrono::seconds wait, const char* why);

    const int perMinute_;
    const int perDay_;
    std::deque<SteadyClock::time_point> minute_;  // at most perMinute_ entries
    std::int64_t day_ = 0;
    int dayCount_ = 0;
    SteadyClock::time_point backOffUntil_{};
    std::chrono::seconds nextBackOff_ = kFirstBackOff;
    const char* backOffReason_ = "";
    bool troubled_ = false;  // backed off, and no answer since
    bool probing_ = false;   // the one request allowed after a back-off is under way
};

}  // namespace service
