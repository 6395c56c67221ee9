#include "service/sources/source_limiter.h"

#include <gtest/gtest.h>

#include "service/sources/exchange_time.h"
#include "service/sources/retry_after.h"

namespace service {
namespace {

using std::chrono::hours;
using std::chrono::minutes;
using std::chrono::seconds;

const SteadyClock::time_point kStart{hours(1000)};
constexpr std::int64_t kToday = 20432;

TEST(SourceLimiter, CountsPerMinute) {
    SourceLimiter limiter(8, 800);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(limiter.TryTake(kStart + seconds(i), kToday), "") << i;
    EXPECT_EQ(limiter.TryTake(kStart + seconds(30), kToday), "per-minute limit reached");
    EXPECT_EQ(limiter.Use(kStart + seconds(30), kToday).lastMinute, 8);
    EXPECT_EQ(limiter.TryTake(kStart + seconds(60), kToday), "") << "the first has left the minute";
    EXPECT_EQ(limiter.TryTake(kStart + seconds(60), kToday), "per-minute limit reached");
}

TEST(SourceLimiter, CountsPerUtcDayApartFromTheMinute) {
    SourceLimiter limiter(8, 20);
    int taken = 0;
    for (int minute = 0; minute < 10; ++minute) {
        for (int i = 0; i < 8; ++i) taken += limiter.TryTake(kStart + minutes(minute) + seconds(i), kToday).empty();
    }
    EXPECT_EQ(taken, 20) << "a per-minute limiter alone would have let 80 through";
    EXPECT_EQ(limiter.TryTake(kStart + hours(20), kToday), "daily limit reached");
    EXPECT_EQ(limiter.Use(kStart + hours(20), kToday).lastDay, 20);
    // The source's day ends at midnight UTC, however soon after the first request.
    EXPECT_EQ(limiter.TryTake(kStart + hours(21), kToday + 1), "") << "a new UTC day";
    EXPECT_EQ(limiter.Use(kStart + hours(21), kToday + 1).lastDay, 1);
}

TEST(SourceLimiter, BacksOffForRetryAfterOrTwiceAsLongEachTime) {
    SourceLimiter limiter(60, 0);
    limiter.BackOff(kStart, seconds(90));
    EXPECT_EQ(limiter.TryTake(kStart + seconds(89), kToday), "backing off after 429");
    EXPECT_EQ(limiter.Use(kStart + seconds(30), kToday).backOffLeft, seconds(60));
    EXPECT_EQ(limiter.TryTake(kStart + seconds(90), kToday), "");

    SourceLimiter doubling(60, 0);
    SteadyClock::time_point now = kStart;
    for (const seconds expected : {seconds(30), seconds(60), seconds(120), seconds(240), seconds(480), seconds(900),
                                   seconds(900)}) {
        doubling.BackOff(now, std::nullopt);
        EXPECT_NE(doubling.TryTake(now + expected - seconds(1), kToday), "");
        now += expected;
        EXPECT_EQ(doubling.TryTake(now, kToday), "") << expected.count();
    }
    doubling.Succeeded();
    doubling.BackOff(now, std::nullopt);
    EXPECT_EQ(doubling.TryTake(now + seconds(30), kToday), "") << "a good answer starts the doubling again";
}

TEST(SourceLimiter, KeepsRetryAfterWithinTheDoublingBackOffAndAnHour) {
    const struct {
        seconds retryAfter;
        seconds expected;
    } cases[] = {
        {seconds(0), seconds(30)},          // would switch the back-off off
        {seconds(5), seconds(30)},
        {seconds(120), seconds(120)},
        {seconds(999999999), seconds(3600)},  // would silence the source until a restart
    };
    for (const auto& c : cases) {
        SourceLimiter limiter(60, 0);
        limiter.BackOff(kStart, c.retryAfter);
        EXPECT_EQ(limiter.Use(kStart, kToday).backOffLeft, c.expected) << c.retryAfter.count();
        EXPECT_NE(limiter.TryTake(kStart + c.expected - seconds(1), kToday), "") << c.retryAfter.count();
        EXPECT_EQ(limiter.TryTake(kStart + c.expected, kToday), "") << c.retryAfter.count();
    }
}

TEST(SourceLimiter, ProbesAFailingSourceWithOneRequestAtATime) {
    SourceLimiter limiter(0, 0);
    limiter.Failed(kStart);
    EXPECT_EQ(limiter.TryTake(kStart + seconds(29), kToday), "backing off after failures");
    EXPECT_EQ(limiter.TryTake(kStart + seconds(30), kToday), "") << "the probe";
    EXPECT_EQ(limiter.TryTake(kStart + seconds(31), kToday), "waiting for the answer to a probe");
    limiter.Failed(kStart + seconds(38));
    EXPECT_NE(limiter.TryTake(kStart + seconds(38) + seconds(59), kToday), "") << "twice as long";
    EXPECT_EQ(limiter.TryTake(kStart + seconds(38) + seconds(60), kToday), "") << "the next probe";
    limiter.Succeeded();
    for (int i = 0; i < 3; ++i) EXPECT_EQ(limiter.TryTake(kStart + seconds(100), kToday), "") << "answering again";
}

TEST(RetryAfter, ReadsSecondsAndHttpDates) {
    const std::int64_t now = DaysFromCivil({2026, 12, 10}) * 86400 + 12 * 3600;
    EXPECT_EQ(RetryAfterDelay("120", now), seconds(120));
    EXPECT_EQ(RetryAfterDelay(" 7 ", now), seconds(7));
    EXPECT_EQ(RetryAfterDelay("Thu, 10 Dec 2026 12:01:30 GMT", now), seconds(90));
    EXPECT_EQ(RetryAfterDelay("Thu, 10 Dec 2026 11:00:00 GMT", now), seconds(0)) << "a date past";
    EXPECT_EQ(RetryAfterDelay("99999999", now), kMaxRetryAfter);
    for (const char* garbage : {"", "soon", "-5", "1.5", "Thu, 10 Foo 2026 12:01:30 GMT", "9999999999",
                                "Thu, 10 Dec 2026 12:01:30 PST"}) {
        EXPECT_FALSE(RetryAfterDelay(garbage, now)) << garbage;
    }
}

}  // namespace
}  // namespace service
