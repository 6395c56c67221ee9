#pragma once
// How the update workers reach the bar. See the note on shared state in
// ticker_window.h.
#include "platform/threads.h"

namespace ticker {

class TickerWindow;

// Shared by the bar and every worker it started (std::shared_ptr), so it
// outlives the bar for as long as a worker still holds it.
struct BarLink {
    platform::CriticalSection lock;
    TickerWindow* window = nullptr;  // null once the bar has exited
};

// Holds the bar lock for its lifetime and yields the bar, or nothing once
// the bar has exited. The only way a worker reaches the bar.
class BarAccess {
public:
    explicit BarAccess(BarLink& link) : lock_(link.lock), window_(link.window) {}
    BarAccess(const BarAccess&) = delete;
    BarAccess& operator=(const BarAccess&) = delete;

    explicit operator bool() const { return window_ != nullptr; }
    TickerWindow* operator->() const { return window_; }
    TickerWindow& operator*() const { return *window_; }

private:
    platform::CriticalSectionLock lock_;
    TickerWindow* const window_;
};

}  // namespace ticker
