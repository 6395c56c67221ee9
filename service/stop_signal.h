#pragma once
// The service's stop, as something every wait can watch: a pipe that
// becomes readable once Raise is called and stays so. A thread waiting for
// a client, a delay or a new connection polls it alongside, so a stop ends
// every wait at once.
#include <chrono>

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
    // Until the descriptor has one of the poll events, the stop comes, or
    // the deadline passes. A stop wins over readiness.
    Woken WaitFor(int fd, short events, std::chrono::steady_clock::time_point deadline) const;

private:
    int readEnd_ = -1;
    int writeEnd_ = -1;
};

}  // namespace service
