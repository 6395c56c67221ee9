#pragma once
// How the update workers reach the bar: only through its inbox and by
// posting it a wake-up. See the note on threads in ticker_window.h.
#include <atomic>
#include <cstdint>

#include "platform/types.h"
#include "ticker/handover.h"

namespace ticker {

// Shared by the bar and every worker it started (std::shared_ptr), so it
// outlives the bar for as long as a worker still holds it; handovers that
// arrive after Exit are freed with it.
struct BarLink {
    // Cleared by Exit: a worker that sees it cleared stops asking for quotes.
    std::atomic<bool> open{true};
    // The item list's generation, set by each rebuild: a pass given an
    // older one has been cancelled and stops before its next download.
    std::atomic<std::uint64_t> generation{0};
    // The bar's window, set before the first worker starts and never again.
    platform::WindowHandle window = nullptr;
    HandoverInbox inbox;
};

}  // namespace ticker
