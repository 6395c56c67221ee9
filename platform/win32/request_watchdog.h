#pragma once
// Ends WinINet requests at their deadlines. WinINet has no time limit for a
// whole request: a server that trickles its headers, or sends one interim
// answer after another, keeps a synchronous send waiting for as long as it
// likes. Closing the request's handle ends any call blocked on it, so one
// thread watches every request given a deadline and closes those whose
// deadline passes. The owner closes its handle through Close, which knows
// whether the watchdog closed it already: each handle is closed once.
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <mutex>
#include <thread>

#include "platform/internet.h"

namespace platform::win32 {

class RequestWatchdog {
public:
    RequestWatchdog() = default;
    ~RequestWatchdog();
    RequestWatchdog(const RequestWatchdog&) = delete;
    RequestWatchdog& operator=(const RequestWatchdog&) = delete;

    // Closes `request` `milliseconds` from now unless its owner closed it
    // first; a later call replaces the deadline. False when no watching
    // thread could be had.
    bool Watch(InternetHandle request, std::uint32_t milliseconds) noexcept;
    // InternetCloseHandle for the owner: forgets the handle and closes it,
    // unless the watchdog did so already.
    bool Close(InternetHandle handle) noexcept;
    // Runs `call` (a send on `request`) and waits for it no longer than the
    // request's deadline: false when the deadline came first. Windows'
    // WinINet ends a blocked call when its handle is closed; Wine's does
    // not, so the call runs on a thread of its own, which the caller leaves
    // behind at the deadline: it ends by itself once the server stops or
    // falls silent for the receive time-out, holding nothing of the caller.
    // Without a deadline, or without a thread, the call runs right here.
    bool RunWithin(InternetHandle request, bool (*call)(InternetHandle)) noexcept;

private:
    using Clock = std::chrono::steady_clock;
    void Run();

    std::mutex mutex_;
    std::condition_variable changed_;
    struct Watched {
        Clock::time_point deadline;
        bool closedHere = false;  // by the watchdog; the owner has yet to close it
    };
    std::map<InternetHandle, Watched> watched_;
    bool stopping_ = false;
    std::thread thread_;  // started with the first request watched
};

}  // namespace platform::win32
