#include "platform/win32/request_watchdog.h"

#include <windows.h>
// After windows.h, which it needs.
#include <wininet.h>

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
