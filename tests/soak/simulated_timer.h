#pragma once
// A window timer of the recording fake, run on simulated time: the test
// advances the clock one tick at a time and learns when the timer expires.
// Arming (SetTimer, counted by the fake) restarts the period, killing stops
// it, as window timers do.
#include <cstdint>

#include "platform/fake/fake_platform.h"

namespace soak {

class SimulatedTimer {
public:
    SimulatedTimer(platform::fake::FakePlatform& fake, platform::WindowHandle window, std::uintptr_t id)
        : fake_(fake), window_(window), id_(id) {}

    // Advances the clock by `elapsedMs`; true when the timer expires in it.
    // Only the window's own thread arms its timers, and that is the caller.
    bool Advance(std::uint32_t elapsedMs) {
        const platform::fake::FakePlatform::Window& window = fake_.window(window_);
        const auto period = window.timers.find(id_);
        if (period == window.timers.end()) {
            remainingMs_ = kStopped;
            return false;
        }
        const auto sets = window.timerSets.find(id_);
        const std::uint64_t armings = sets == window.timerSets.end() ? 0 : sets->second;
        if (armings != seenArmings_ || remainingMs_ == kStopped) {
            seenArmings_ = armings;
            remainingMs_ = period->second;
        }
        remainingMs_ -= elapsedMs;
        if (remainingMs_ > 0) return false;
        remainingMs_ = period->second;  // a window timer goes on until killed
        return true;
    }

private:
    static constexpr std::int64_t kStopped = -1;
    platform::fake::FakePlatform& fake_;
    platform::WindowHandle window_;
    std::uintptr_t id_;
    std::uint64_t seenArmings_ = 0;
    std::int64_t remainingMs_ = kStopped;
};

}  // namespace soak
