// "Reserve Screen Space": the bar as an application desktop toolbar, so
// that maximised windows stop at it. It holds a strip of its own monitor,
// exactly as high as the bar, at the top or bottom edge it is snapped to;
// away from an edge it holds none.
#include <algorithm>

#include "app/monitors.h"
#include "platform/constants.h"
#include "ticker/ticker_window.h"

namespace ticker {

namespace {

constexpr const char* kTaskbarCreated = "TaskbarCreated";

// The part of the monitor that windows may use, as far as its work area
// tells (a work area that misses the monitor tells nothing).
platform::Rect FreePartOf(const platform::Rect& monitor, const platform::Rect& workArea) {
    const platform::Rect common{std::max(monitor.left, workArea.left), std::max(monitor.top, workArea.top),
                                std::min(monitor.right, workArea.right), std::min(monitor.bottom, workArea.bottom)};
    return common.left < common.right && common.top < common.bottom ? common : monitor;
}

}  // namespace

std::uint32_t DockEdge(const platform::Rect& bar, const platform::Rect& monitor, const platform::Rect& workArea) {
    const platform::Rect free = FreePartOf(monitor, workArea);
    if (bar.top <= free.top) return platform::kAbeTop;
    if (bar.bottom >= free.bottom) return platform::kAbeBottom;
    return kNoDockEdge;
}

platform::ProcResult TickerWindow::OnReserveScreenSpace(const app::Message&) {
    reserveScreenSpace = !reserveScreenSpace;
    reserveScreenSpaceStored_ = true;
    if (reserveScreenSpace) {
        DockAppBar();
    } else {
        UndockAppBar();
    }
    SaveSettings();
    return 0;
}

platform::ProcResult TickerWindow::OnAppBarNotice(const app::Message& message) {
    // Another toolbar came, went or moved: take the place that is left.
    if (message.wParam == platform::kAbnPosChanged && appBarDocked_) DockAppBar(appBarEdge_);
    return 0;
}

void TickerWindow::WatchShell() {
    taskbarCreated_ = platform_.desktop.RegisterWindowMessage(kTaskbarCreated);
    if (reserveScreenSpace) DockAppBar();
}

bool TickerWindow::OnShellRestarted(const app::Message& message) {
    if (taskbarCreated_ == 0 || message.id != taskbarCreated_) return false;
    // The new shell knows no toolbar: register afresh.
    appBarDocked_ = false;
    DockAppBar(appBarEdge_);
    return true;
}

void TickerWindow::DockAppBar(std::uint32_t knownEdge) {
    if (!reserveScreenSpace || Exited()) return;
    platform::WindowManager& windows = platform_.windows;
    platform::Desktop& desktop = platform_.desktop;
    platform::Rect bar;
    if (!windows.GetWindowRect(hwnd(), bar)) return;
    const app::MonitorSpot spot = app::MonitorOf(windows, bar);
    if (!spot.known) return;
    const platform::Rect& monitor = spot.info.monitor;
    const platform::Rect& workArea = spot.info.work;
    // Docked, the work area no longer holds the bar, which then stands
    // beyond its free part at the same edge. A docked bar that the shell
    // moved keeps its edge.
    const std::uint32_t edge = knownEdge != kNoDockEdge ? knownEdge : DockEdge(bar, monitor, workArea);
    appBarEdge_ = edge;
    if (edge == kNoDockEdge) {
        UndockAppBar();
        return;
    }
    platform::AppBarData data;
    data.window = hwnd();
    data.callbackMessage = kWmAppBarNotice;
    if (!appBarDocked_) {
        if (desktop.AppBarMessage(platform::kAbmNew, data) == 0) return;
        appBarDocked_ = true;
    }
    const std::int32_t height = bar.bottom - bar.top;
    data.edge = edge;
    data.rect = monitor;
    if (edge == platform::kAbeTop) {
        data.rect.bottom = monitor.top + height;
    } else {
        data.rect.top = monitor.bottom - height;
    }
    desktop.AppBarMessage(platform::kAbmQueryPos, data);
    // Exactly the bar's height, on the side the shell left free.
    if (edge == platform::kAbeTop) {
        data.rect.bottom = data.rect.top + height;
    } else {
        data.rect.top = data.rect.bottom - height;
    }
    desktop.AppBarMessage(platform::kAbmSetPos, data);
    windows.MoveWindow(hwnd(), bar.left, data.rect.top, bar.right - bar.left, height, true);
    desktop.AppBarMessage(platform::kAbmWindowPosChanged, data);
}

void TickerWindow::UndockAppBar() {
    if (!appBarDocked_) return;
    platform::AppBarData data;
    data.window = hwnd();
    platform_.desktop.AppBarMessage(platform::kAbmRemove, data);
    appBarDocked_ = false;
}

void TickerWindow::UndockForDrag() {
    if (!reserveScreenSpace) return;
    // The strip goes while the bar moves, so it snaps to the edges of the
    // whole free area; the drag's end docks it where it lands, if that is
    // at an edge.
    UndockAppBar();
    redockAfterDrag_ = true;
}

void TickerWindow::RedockAfterDrag() {
    if (!redockAfterDrag_) return;
    redockAfterDrag_ = false;
    DockAppBar();
}

}  // namespace ticker
