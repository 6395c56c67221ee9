#include "service/stop_signal.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <stdexcept>

namespace service {

namespace {

using Clock = std::chrono::steady_clock;

// poll() takes an int of milliseconds; rounded up, so a wait never ends
// early and spins.
int PollTimeout(Clock::time_point deadline) {
    if (deadline == Clock::time_point::max()) return -1;
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return static_cast<int>(std::clamp<long long>(left, 0, INT_MAX));
}

}  // namespace

StopSignal::StopSignal() {
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0) throw std::runtime_error("cannot make the stop pipe");
    readEnd_ = ends[0];
    writeEnd_ = ends[1];
}

StopSignal::~StopSignal() {
    ::close(readEnd_);
    ::close(writeEnd_);
}

void StopSignal::Raise() {
    if (IsRaised()) return;
    const char byte = 1;
    // The pipe holds far more than one byte; nothing ever reads it.
    while (::write(writeEnd_, &byte, 1) < 0 && errno == EINTR) {
    }
}

bool StopSignal::IsRaised() const {
    pollfd stop{readEnd_, POLLIN, 0};
    return ::poll(&stop, 1, 0) > 0;
}

bool StopSignal::Sleep(std::chrono::milliseconds duration) const {
    const auto deadline = Clock::now() + duration;
    for (;;) {
        pollfd stop{readEnd_, POLLIN, 0};
        const int ready = ::poll(&stop, 1, PollTimeout(deadline));
        if (ready > 0) return false;
        if (ready == 0 && Clock::now() >= deadline) return true;
    }
}

StopSignal::Woken StopSignal::WaitFor(int fd, short events, Clock::time_point deadline) const {
    for (;;) {
        pollfd watched[2] = {{readEnd_, POLLIN, 0}, {fd, events, 0}};
        const int ready = ::poll(watched, 2, PollTimeout(deadline));
        if (ready < 0 && errno != EINTR) return Woken::Stopped;  // poll itself failed: give up as on a stop
        if (watched[0].revents != 0) return Woken::Stopped;
        if (ready > 0 && watched[1].revents != 0) return Woken::Ready;
        if (ready == 0 && Clock::now() >= deadline) return Woken::TimedOut;
    }
}

}  // namespace service
