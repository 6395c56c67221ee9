#pragma once
// A source's own limits: requests per minute and per day, counted apart
// (a per-minute limiter does not keep a daily quota), and the back-off a
// 429 asks for. Not locked: its owner holds the lock.
#include <chrono>
#include <deque>
#include <optional>
#include <string>

namespace service {

using SteadyClock = std::chrono::steady_clock;

// Without Retry-After: 30 s, then twice as long each time, at most 15 minutes.
constexpr std::chrono::seconds kFirstBackOff{30};
constexpr std::chrono::seconds kLongestBackOff{900};

struct LimiterUse {
    int lastMinute = 0;
    int lastDay = 0;
    int perMinute = 0;  // 0: no limit
    int perDay = 0;
    std::chrono::seconds backOffLeft{0};
};

class SourceLimiter {
public:
    SourceLimiter(int perMinute, int perDay);

    // Takes a request's place, or says why not ("" when taken).
    std::string TryTake(SteadyClock::time_point now);
    // A 429: no request until Retry-After has passed, or the doubling back-off.
    void BackOff(SteadyClock::time_point now, std::optional<std::chrono::seconds> retryAfter);
    // A good answer ends the doubling.
    void Succeeded();
    LimiterUse Use(SteadyClock::time_point now);

private:
    void Forget(SteadyClock::time_point now);

    const int perMinute_;
    const int perDay_;
    std::deque<SteadyClock::time_point> minute_;  // at most perMinute_ entries
    SteadyClock::time_point dayStart_{};
    int dayCount_ = 0;
    SteadyClock::time_point backOffUntil_{};
    std::chrono::seconds nextBackOff_ = kFirstBackOff;
};

}  // namespace service
