// The bar on a shared desktop: full-screen programs, nobody looking, and
// waking from sleep.
#include "ticker/desktop_watch.h"

#include <cstddef>
#include <cstring>

#include "app/monitors.h"
#include "platform/constants.h"
#include "quotes/http_get_text.h"
#include "ticker/ids.h"
#include "ticker/ticker_window.h"

namespace ticker {

bool CoversMonitor(const platform::Rect& window, const platform::Rect& monitor) {
    return window.left <= monitor.left && window.top <= monitor.top && window.right >= monitor.right &&
           window.bottom >= monitor.bottom;
}

bool DisplayStateOf(platform::LongParam notice, std::uint32_t& state) {
    if (notice == 0) return false;
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(notice);
    platform::PowerSettingChange head;
    std::memcpy(&head, bytes, offsetof(platform::PowerSettingChange, data));
    if (std::memcmp(head.setting, platform::kGuidConsoleDisplayState, sizeof head.setting) != 0) return false;
    if (head.dataLength < sizeof state) return false;
    std::memcpy(&state, bytes + offsetof(platform::PowerSettingChange, data), sizeof state);
    return true;
}

void DesktopNotices::Start(platform::WindowHandle window) {
    Stop();
    if (desktop_.RegisterSessionNotification(window)) sessionWindow_ = window;
    display_ = desktop_.RegisterDisplayStateNotification(window);
    network_ = desktop_.RegisterNetworkChangeNotification(window, kWmNetworkChange);
}

void DesktopNotices::Stop() {
    if (sessionWindow_ != nullptr) desktop_.UnregisterSessionNotification(sessionWindow_);
    sessionWindow_ = nullptr;
    if (display_ != nullptr) desktop_.UnregisterPowerSettingNotification(display_);
    display_ = nullptr;
    if (network_ != nullptr) desktop_.UnregisterNetworkChangeNotification(network_);
    network_ = nullptr;
}

void TickerWindow::WatchDesktop() {
    desktopNotices_.Start(hwnd());
    if (alwaysOnTop) platform_.windows.SetTimer(hwnd(), FULL_SCREEN_TIMER, kFullScreenCheckMs);
}

void TickerWindow::LeaveDesktop() {
    platform::WindowManager& windows = platform_.windows;
    windows.KillTimer(hwnd(), FULL_SCREEN_TIMER);
    windows.KillTimer(hwnd(), WAKE_TIMER);
    desktopNotices_.Stop();
    UndockAppBar();
}

// ---- Nobody looking ---------------------------------------------------------

platform::ProcResult TickerWindow::OnSessionChange(const app::Message& message) {
    const bool before = desktopWatch_.NobodyLooks();
    switch (message.wParam) {
    case platform::kWtsSessionLock:
        desktopWatch_.locked = true;
        break;
    case platform::kWtsSessionUnlock:
        desktopWatch_.locked = false;
        break;
    case platform::kWtsConsoleDisconnect:
    case platform::kWtsRemoteDisconnect:
        desktopWatch_.switchedAway = true;
        break;
    case platform::kWtsConsoleConnect:
    case platform::kWtsRemoteConnect:
        desktopWatch_.switchedAway = false;
        break;
    default:
        break;
    }
    FollowLookers(before);
    return 0;
}

platform::ProcResult TickerWindow::OnPowerBroadcast(const app::Message& message) {
    constexpr platform::ProcResult kGranted = 1;
    if (message.wParam == platform::kPbtApmResumeAutomatic) {
        StartWakeTries();
    } else if (message.wParam == platform::kPbtPowerSettingChange) {
        std::uint32_t state = 0;
        if (DisplayStateOf(message.lParam, state)) {
            const bool before = desktopWatch_.NobodyLooks();
            desktopWatch_.screenOff = state == platform::kDisplayOff;
            FollowLookers(before);
        }
    }
    return kGranted;
}

void TickerWindow::FollowLookers(bool nobodyLookedBefore) {
    platform::WindowManager& windows = platform_.windows;
    const bool nobodyLooks = desktopWatch_.NobodyLooks();
    if (nobodyLooks == nobodyLookedBefore || Exited()) return;
    if (nobodyLooks) {
        // Nothing to draw for nobody; the update timer runs on and only
        // notes that a cycle fell due.
        windows.KillTimer(hwnd(), SCROLL_TIMER);
        windows.KillTimer(hwnd(), FULL_SCREEN_TIMER);
        return;
    }
    // On from where it stood.
    windows.SetTimer(hwnd(), SCROLL_TIMER, scrollInterval);
    if (alwaysOnTop) windows.SetTimer(hwnd(), FULL_SCREEN_TIMER, kFullScreenCheckMs);
    if (desktopWatch_.cycleOwed) {
        desktopWatch_.cycleOwed = false;
        windows.SetTimer(hwnd(), UPDATE_TIMER, updateDelay);
    }
}

bool TickerWindow::RestWhileNobodyLooks() {
    if (!desktopWatch_.NobodyLooks()) return false;
    desktopWatch_.cycleOwed = true;
    return true;
}

// ---- Waking from sleep ------------------------------------------------------

void TickerWindow::StartWakeTries() {
    // Updates switched off stay off.
    if (updateInterval == 0 || Exited()) return;
    platform::WindowManager& windows = platform_.windows;
    desktopWatch_.wakeRetriesLeft = kWakeRetries;
    windows.SetTimer(hwnd(), UPDATE_TIMER, updateDelay);
    windows.SetTimer(hwnd(), WAKE_TIMER, kWakeTryMs);
}

platform::ProcResult TickerWindow::OnWakeTimer() {
    platform::WindowManager& windows = platform_.windows;
    if (desktopWatch_.wakeRetriesLeft <= 0 || Exited()) {
        windows.KillTimer(hwnd(), WAKE_TIMER);
        return 0;
    }
    if (--desktopWatch_.wakeRetriesLeft == 0) windows.KillTimer(hwnd(), WAKE_TIMER);
    windows.SetTimer(hwnd(), UPDATE_TIMER, updateDelay);
    return 0;
}

platform::ProcResult TickerWindow::OnNetworkChange(const app::Message&) {
    // Interfaces come and go all the time; only a bar that lost the network
    // tries early, as after a wake.
    if (desktopWatch_.networkDown && desktopWatch_.wakeRetriesLeft == 0) StartWakeTries();
    return 0;
}

void TickerWindow::NoteServerAnswer(const std::string& message) {
    desktopWatch_.networkDown = message == quotes::kDownloadErrorText;
    if (desktopWatch_.wakeRetriesLeft == 0 || desktopWatch_.networkDown) return;
    // The network is back, and this cycle's pass brings the quotes.
    desktopWatch_.wakeRetriesLeft = 0;
    platform_.windows.KillTimer(hwnd(), WAKE_TIMER);
}

// ---- Full-screen programs ---------------------------------------------------

platform::ProcResult TickerWindow::OnFullScreenTimer() {
    if (!alwaysOnTop || Exited() || desktopWatch_.NobodyLooks()) return 0;
    const platform::WindowHandle front = FullScreenInFront();
    if ((front != nullptr) == desktopWatch_.steppedBack) return 0;
    platform::WindowManager& windows = platform_.windows;
    constexpr std::uint32_t kKeepPlace = platform::kSwpNoMove | platform::kSwpNoSize | platform::kSwpNoActivate;
    desktopWatch_.steppedBack = front != nullptr;
    if (front != nullptr) {
        // Out of the topmost band, and behind the program in front.
        windows.SetWindowPos(hwnd(), platform::kHwndNoTopmost, 0, 0, 0, 0, kKeepPlace);
        windows.SetWindowPos(hwnd(), reinterpret_cast<std::intptr_t>(front), 0, 0, 0, 0, kKeepPlace);
    } else {
        windows.SetWindowPos(hwnd(), platform::kHwndTopmost, 0, 0, 0, 0, kKeepPlace);
    }
    return 0;
}

platform::WindowHandle TickerWindow::FullScreenInFront() {
    platform::Desktop& desktop = platform_.desktop;
    const platform::WindowHandle front = desktop.GetForegroundWindow();
    if (front == nullptr || front == hwnd()) return nullptr;
    if (front == desktop.GetDesktopWindow() || front == desktop.GetShellWindow()) return nullptr;
    // A maximised window with a caption is ordinary work, not full screen.
    if ((desktop.GetWindowStyle(front) & platform::kWsCaption) == platform::kWsCaption) return nullptr;
    platform::WindowManager& windows = platform_.windows;
    platform::Rect bar;
    platform::Rect rect;
    if (!windows.GetWindowRect(hwnd(), bar) || !windows.GetWindowRect(front, rect)) return nullptr;
    const app::MonitorSpot spot = app::MonitorOf(windows, bar);
    return spot.known && CoversMonitor(rect, spot.info.monitor) ? front : nullptr;
}

void TickerWindow::FollowAlwaysOnTop() {
    platform::WindowManager& windows = platform_.windows;
    desktopWatch_.steppedBack = false;
    if (alwaysOnTop && !desktopWatch_.NobodyLooks()) {
        windows.SetTimer(hwnd(), FULL_SCREEN_TIMER, kFullScreenCheckMs);
    } else {
        windows.KillTimer(hwnd(), FULL_SCREEN_TIMER);
    }
}

}  // namespace ticker
