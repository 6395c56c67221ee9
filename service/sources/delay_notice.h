#pragma once
// Whether the quotes served are old because no source answers, in the words
// the server message carries. A changed message makes every bar rebuild, so
// the words change only on a lasting change of state, and at most once in a
// while. Not locked: its owner holds the lock.
#include <chrono>
#include <string>

#include "service/sources/source_limiter.h"

namespace service {

using WallClock = std::chrono::system_clock;

struct DelayNoticeTimes {
    // Without a fresh quote for this long, and a fetch that no source
    // answered, the quotes are delayed.
    std::chrono::seconds quietFor{60};
    // The words change at most once in this long.
    std::chrono::seconds steadyFor{180};
};

// "10:42", in the machine's own time.
std::string LocalHourMinute(WallClock::time_point when);

class DelayNotice {
public:
    DelayNotice(SteadyClock::time_point start, WallClock::time_point startWall, DelayNoticeTimes times);

    // A source gave a quote.
    void Fresh(SteadyClock::time_point now, WallClock::time_point wall);
    // A fetch that no source answered (each failed, was limited or backing off).
    void Unanswered(SteadyClock::time_point now);
    // "Quotes delayed: no source has answered since 10:42", or "".
    std::string Text(SteadyClock::time_point now);

private:
    const DelayNoticeTimes times_;
    SteadyClock::time_point lastFresh_;
    WallClock::time_point lastFreshWall_;
    bool delayed_ = false;
    bool shown_ = false;
    bool everChanged_ = false;
    SteadyClock::time_point changedAt_{};
    std::string text_;
};

}  // namespace service
