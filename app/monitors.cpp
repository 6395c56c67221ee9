#include "app/monitors.h"

#include "platform/constants.h"

namespace app {

namespace {

MonitorSpot Describe(platform::WindowManager& windows, platform::MonitorHandle monitor) {
    MonitorSpot spot;
    spot.known = windows.GetMonitorInfo(monitor, spot.info);
    spot.dpi = windows.GetDpiForMonitor(monitor);
    if (spot.dpi == 0) spot.dpi = platform::kBaseDpi;
    return spot;
}

}  // namespace

MonitorSpot MonitorOf(platform::WindowManager& windows, const platform::Rect& rect) {
    return Describe(windows, windows.MonitorFromRect(rect));
}

MonitorSpot PrimaryMonitorOf(platform::WindowManager& windows) { return Describe(windows, windows.PrimaryMonitor()); }

}  // namespace app
