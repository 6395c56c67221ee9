#pragma once
// The moment a download gives up, on the platform's tick count. The
// download looks at it before every connection and every read; a read
// waits for no more than the receive time-out, so a download ends at most
// that long after its deadline once its answer's headers are in.
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

private:
    platform::Internet* clock_ = nullptr;
    std::uint32_t start_ = 0;
    std::uint32_t milliseconds_ = 0;
};

}  // namespace quotes
