#include "service/sources/delay_notice.h"

#include <ctime>

namespace service {

namespace {

const char* const kDelayedWords = "Quotes delayed: no source has answered since ";

}  // namespace

std::string LocalHourMinute(WallClock::time_point when) {
    const std::time_t seconds = WallClock::to_time_t(when);
    std::tm local{};
#ifdef _WIN32
    if (localtime_s(&local, &seconds) != 0) return "";
#else
    if (localtime_r(&seconds, &local) == nullptr) return "";
#endif
    char text[8];
    return std::strftime(text, sizeof text, "%H:%M", &local) > 0 ? text : "";
}

DelayNotice::DelayNotice(SteadyClock::time_point start, WallClock::time_point startWall, DelayNoticeTimes times)
    : times_(times), lastFresh_(start), lastFreshWall_(startWall) {}

void DelayNotice::Fresh(SteadyClock::time_point now, WallClock::time_point wall) {
    lastFresh_ = now;
    lastFreshWall_ = wall;
    delayed_ = false;
}

void DelayNotice::Unanswered(SteadyClock::time_point now) {
    if (now - lastFresh_ >= times_.quietFor) delayed_ = true;
}

std::string DelayNotice::Text(SteadyClock::time_point now) {
    if (delayed_ != shown_ && (!everChanged_ || now - changedAt_ >= times_.steadyFor)) {
        shown_ = delayed_;
        text_ = shown_ ? kDelayedWords + LocalHourMinute(lastFreshWall_) : "";
        everChanged_ = true;
        changedAt_ = now;
    }
    return text_;
}

}  // namespace service
