#pragma once
// The service's stop, as something every wait can watch: a flag that
// becomes readable once Raise is called and stays so. A thread waiting for
// a client, a delay or a new connection polls it alongside, so a stop ends
// every wait at once.
#include <chrono>

#include "service/net/socket_calls.h"

namespace service {

class StopSignal {
public:
    StopSignal();
    ~StopSignal();
    StopSignal(const StopSignal&) = delete;
    StopSignal& operator=(const StopSignal&) = delete;

    // From any thread, as often as wanted.
    void Raise();
    bool IsRaised() const;

    // False when the stop came before the time was up.
    bool Sleep(std::chrono::milliseconds duration) const;

    enum class Woken { Ready, Stopped, TimedOut };
    // Until the socket is ready as watched, the stop comes, or the
    // deadline passes. A stop wins over readiness.
    Woken WaitFor(SocketHandle fd, Watch watch, std::chrono::steady_clock::time_point deadline) const;

private:
    WakeFlag flag_;
};

}  // namespace service
