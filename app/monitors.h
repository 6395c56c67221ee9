#pragma once
// Which monitor the bar stands on, what it offers and at what scaling: the
// one place the bar asks the platform about monitors.
#include <cstdint>

#include "platform/window_manager.h"

namespace app {

struct MonitorSpot {
    platform::MonitorInfo info;
    std::uint32_t dpi = 0;
    bool known = false;  // the platform described the monitor
    platform::Point origin() const { return platform::Point{info.monitor.left, info.monitor.top}; }
};

// The monitor that shows most of `rect`, or the nearest one.
MonitorSpot MonitorOf(platform::WindowManager& windows, const platform::Rect& rect);
MonitorSpot PrimaryMonitorOf(platform::WindowManager& windows);

}  // namespace app
