#include "platform/win32/request_watchdog.h"

#include <windows.h>
// After windows.h, which it needs.
#include <wininet.h>

#include <memory>

namespace platform::win32 {

RequestWatchdog::~RequestWatchdog() {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    if (thread_.joinable()) thread_.join();
}

bool RequestWatchdog::Watch(InternetHandle request, std::uint32_t milliseconds) noexcept {
    try {
        const std::lock_guard<std::mutex> lock(mutex_);
        if (!thread_.joinable()) thread_ = std::thread([this] { Run(); });
        Watched& entry = watched_[request];
        if (entry.closedHere) return false;  // over already
        entry.deadline = Clock::now() + std::chrono::milliseconds(milliseconds);
    } catch (...) {
        return false;  // no thread or no room: the request runs unwatched
    }
    changed_.notify_all();
    return true;
}

bool RequestWatchdog::Close(InternetHandle handle) noexcept {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        const auto it = watched_.find(handle);
        if (it != watched_.end()) {
            const bool closedHere = it->second.closedHere;
            watched_.erase(it);
            // Closed already, and its value not free for another handle
            // until now.
            if (closedHere) return true;
        }
    }
    return ::InternetCloseHandle(reinterpret_cast<HINTERNET>(handle)) != FALSE;
}

bool RequestWatchdog::RunWithin(InternetHandle request, bool (*call)(InternetHandle)) noexcept {
    Clock::time_point deadline;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        const auto it = watched_.find(request);
        if (it == watched_.end() || it->second.closedHere) return call(request);
        deadline = it->second.deadline;
    }
    // Shared with the thread, which may outlive this call.
    struct Outcome {
        std::mutex mutex;
        std::condition_variable done;
        bool finished = false;
        bool ok = false;
    };
    std::shared_ptr<Outcome> outcome;
    try {
        outcome = std::make_shared<Outcome>();
        std::thread([outcome, request, call] {
            const bool ok = call(request);
            const std::lock_guard<std::mutex> lock(outcome->mutex);
            outcome->ok = ok;
            outcome->finished = true;
            outcome->done.notify_all();
        }).detach();
    } catch (...) {
        return call(request);  // no thread: the call is bounded only where closing ends it
    }
    std::unique_lock<std::mutex> lock(outcome->mutex);
    if (!outcome->done.wait_until(lock, deadline, [&] { return outcome->finished; })) return false;
    return outcome->ok;
}

// Allocates nothing, so nothing can fail on this thread.
void RequestWatchdog::Run() {
    std::unique_lock<std::mutex> lock(mutex_);
    while (!stopping_) {
        const Clock::time_point now = Clock::now();
        Clock::time_point next = Clock::time_point::max();
        InternetHandle due = nullptr;
        for (auto& [request, entry] : watched_) {
            if (entry.closedHere) continue;
            if (entry.deadline <= now) {
                entry.closedHere = true;
                due = request;
                break;
            }
            next = std::min(next, entry.deadline);
        }
        if (due != nullptr) {
            // Outside the lock: closing may wait for the call it ends, and
            // the owner's Close must not wait meanwhile. The handle stays
            // valid until here, as the owner's Close leaves it alone.
            lock.unlock();
            ::InternetCloseHandle(reinterpret_cast<HINTERNET>(due));
            lock.lock();
            continue;
        }
        if (next == Clock::time_point::max()) {
            changed_.wait(lock);
        } else {
            changed_.wait_until(lock, next);
        }
    }
}

}  // namespace platform::win32
