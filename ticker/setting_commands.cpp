// The menu commands that change a setting: each applies it at once and then
// writes all settings.
#include "platform/constants.h"
#include "ticker/drag.h"
#include "ticker/ids.h"
#include "ticker/menu_choices.h"
#include "ticker/ticker_window.h"

namespace ticker {

platform::ProcResult TickerWindow::OnScrollSpeed(const app::Message& message) {
    // The scroll timer runs on; after Stop it steps by 0 pixels.
    speed = SpeedFor(message.CommandId());
    SaveSettings();
    return 0;
}

platform::ProcResult TickerWindow::OnUpdateFrequency(const app::Message& message) {
    platform::WindowManager& windows = platform_.windows;
    const std::uint16_t id = message.CommandId();
    if (id == command::kUpdateOff) {
        updateInterval = 0;
        windows.KillTimer(hwnd(), UPDATE_TIMER);
    } else {
        // A cycle half a second from now, whatever was pending; the cycle
        // re-arms the timer with the interval. A pass under way would make
        // that cycle end after its message: the next one follows the pass.
        windows.SetTimer(hwnd(), UPDATE_TIMER, updateDelay);
        if (id != command::kUpdateNow) updateInterval = IntervalFor(id);
        if (id == command::kUpdateNow && updating) nextCycleAsked_ = true;
        // The user asked for quotes: an exchange list that failed is asked
        // for again, also with updates Off.
        exchangeListAsked_ = true;
    }
    SaveSettings();
    return 0;
}

platform::ProcResult TickerWindow::OnDataField(const app::Message& message) {
    dataMask = DataMaskAfter(dataMask, message.CommandId());
    Relayout();
    platform_.windows.InvalidateRect(hwnd(), nullptr, true);
    SaveSettings();
    return 0;
}

platform::ProcResult TickerWindow::OnAlwaysOnTop(const app::Message&) {
    alwaysOnTop = !alwaysOnTop;
    platform_.windows.SetWindowPos(hwnd(), alwaysOnTop ? platform::kHwndTopmost : platform::kHwndNoTopmost, 0, 0, 0,
                                   0, platform::kSwpNoSize | platform::kSwpNoMove);
    FollowAlwaysOnTop();
    SaveSettings();
    return 0;
}

platform::ProcResult TickerWindow::OnSnapping(const app::Message&) {
    snapping = !snapping;
    if (snapping) {
        // Snaps at once when the bar lies near an edge; moves it to where
        // it is otherwise.
        platform::Rect window;
        platform_.windows.GetWindowRect(hwnd(), window);
        const platform::Rect snapped = SnappedToWorkArea(window);
        platform_.windows.MoveWindow(hwnd(), snapped.left, snapped.top, snapped.right - snapped.left,
                                     snapped.bottom - snapped.top, true);
    }
    SaveSettings();
    return 0;
}

}  // namespace ticker
