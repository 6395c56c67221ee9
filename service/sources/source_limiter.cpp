#include "service/sources/source_limiter.h"

#include <algorithm>

namespace service {

namespace {

constexpr std::chrono::minutes kMinute{1};
constexpr std::int64_t kSecondsPerDay = 86400;

}  // namespace

SourceLimiter::SourceLimiter(int perMinute, int perDay) : perMinute_(perMinute), perDay_(perDay) {}

std::int64_t UtcDay() {
    return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch())
               .count() /
           kSecondsPerDay;
}

void SourceLimiter::Forget(SteadyClock::time_point now, std::int64_t utcDay) {
    while (!minute_.empty() && now - minute_.front() >= kMinute) minute_.pop_front();
    if (utcDay != day_) {
        day_ = utcDay;
        dayCount_ = 0;
    }
}

std::string SourceLimiter::TryTake(SteadyClock::time_point now, std::int64_t utcDay) {
    Forget(now, utcDay);
    if (now < backOffUntil_) return backOffReason_;
    if (probing_) return "waiting for the answer to a probe";
    if (perMinute_ > 0 && static_cast<int>(minute_.size()) >= perMinute_) return "per-minute limit reached";
    if (perDay_ > 0 && dayCount_ >= perDay_) return "daily limit reached";
    if (perMinute_ > 0) minute_.push_back(now);
    ++dayCount_;
    probing_ = troubled_;
    return "";
}

void SourceLimiter::Pause(SteadyClock::time_point now, std::chrono::seconds wait, const char* why) {
    backOffUntil_ = std::max(backOffUntil_, now + wait);
    nextBackOff_ = std::min(nextBackOff_ * 2, kLongestBackOff);
    backOffReason_ = why;
    troubled_ = true;
    probing_ = false;
}

void SourceLimiter::BackOff(SteadyClock::time_point now, std::optional<std::chrono::seconds> retryAfter) {
    const std::chrono::seconds wait = retryAfter ? std::clamp(*retryAfter, nextBackOff_, kLongestRetryAfter) : nextBackOff_;
    Pause(now, wait, "backing off after 429");
}

void SourceLimiter::Failed(SteadyClock::time_point now) {
    // Requests under way when the back-off began meet the same trouble:
    // they do not make it longer.
    if (troubled_ && now < backOffUntil_) return;
    Pause(now, nextBackOff_, "backing off after failures");
}

void SourceLimiter::Succeeded() {
    nextBackOff_ = kFirstBackOff;
    troubled_ = false;
    probing_ = false;
}

LimiterUse SourceLimiter::Use(SteadyClock::time_point now, std::int64_t utcDay) {
    Forget(now, utcDay);
    LimiterUse use;
    use.lastMinute = static_cast<int>(minute_.size());
    use.lastDay = dayCount_;
    use.perMinute = perMinute_;
    use.perDay = perDay_;
    if (now < backOffUntil_) {
        use.backOffLeft = std::chrono::ceil<std::chrono::seconds>(backOffUntil_ - now);
    }
    return use;
}

}  // namespace service
