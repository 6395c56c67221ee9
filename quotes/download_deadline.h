#pragma once
// The moment a download gives up, on the platform's tick count. The
// download looks at it before every connection and every read, and gives
// each request what is left of it, which the HTTP client enforces itself:
// a server that trickles its headers or sends interim answers without end
// cannot hold a send past it either.
#include <algorithm>
#include <cstdint>

#include "platform/internet.h"

namespace quotes {

class DownloadDeadline {
public:
    // One that never passes.
    DownloadDeadline() = default;
    // `milliseconds` from now.
    DownloadDeadline(platform::Internet& clock, std::uint32_t milliseconds)
        : clock_(&clock), start_(clock.TickCount()), milliseconds_(milliseconds) {}

    bool Passed() const {
        // Unsigned: the difference holds across the tick count's wrap.
        return clock_ != nullptr && static_cast<std::uint32_t>(clock_->TickCount() - start_) >= milliseconds_;
    }

    // What is left of it, at least 1 ms (a client takes 0 for none); the
    // most a tick count holds for one that never passes.
    std::uint32_t RemainingMs() const {
        if (clock_ == nullptr) return UINT32_MAX;
        const auto elapsed = static_cast<std::uint32_t>(clock_->TickCount() - start_);
        return elapsed >= milliseconds_ ? kLeastMs : std::max(milliseconds_ - elapsed, kLeastMs);
    }

private:
    static constexpr std::uint32_t kLeastMs = 1;
    platform::Internet* clock_ = nullptr;
    std::uint32_t start_ = 0;
    std::uint32_t milliseconds_ = 0;
};

}  // namespace quotes
