#include "service/net/stop_signal.h"

#include <algorithm>
#include <climits>
#include <stdexcept>

namespace service {

namespace {

using Clock = std::chrono::steady_clock;

// Waits take an int of milliseconds; rounded up, so a wait never ends
// early and spins.
int WaitTimeout(Clock::time_point deadline) {
    if (deadline == Clock::time_point::max()) return -1;
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return static_cast<int>(std::clamp<long long>(left, 0, INT_MAX));
}

}  // namespace

StopSignal::StopSignal() {
    const auto flag = MakeWakeFlag();
    if (!flag) throw std::runtime_error("cannot make the stop flag");
    flag_ = *flag;
}

StopSignal::~StopSignal() { CloseWakeFlag(flag_); }

void StopSignal::Raise() {
    if (!IsRaised()) RaiseWakeFlag(flag_);
}

bool StopSignal::IsRaised() const { return WaitForFlagOrSocket(flag_, kNoSocket, Watch::Readable, 0) == Woke::Flag; }

bool StopSignal::Sleep(std::chrono::milliseconds duration) const {
    const auto deadline = Clock::now() + duration;
    for (;;) {
        const Woke woke = WaitForFlagOrSocket(flag_, kNoSocket, Watch::Readable, WaitTimeout(deadline));
        if (woke == Woke::Flag) return false;
        if (woke == Woke::TimedOut && Clock::now() >= deadline) return true;
    }
}

StopSignal::Woken StopSignal::WaitFor(SocketHandle fd, Watch watch, Clock::time_point deadline) const {
    for (;;) {
        switch (WaitForFlagOrSocket(flag_, fd, watch, WaitTimeout(deadline))) {
        case Woke::Failed: return Woken::Stopped;  // the wait itself failed: give up as on a stop
        case Woke::Flag: return Woken::Stopped;
        case Woke::Socket: return Woken::Ready;
        case Woke::TimedOut:
            if (Clock::now() >= deadline) return Woken::TimedOut;
            break;
        }
    }
}

}  // namespace service
