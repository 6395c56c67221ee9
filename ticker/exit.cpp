// Exit: the only way to end the bar.
#include "ticker/ids.h"
#include "ticker/ticker_window.h"

namespace ticker {

platform::ProcResult TickerWindow::ExitTicker(const app::Message&) {
    platform::WindowManager& windows = platform_.windows;
    // From here on nothing a worker hands over is taken: one blocked in a
    // download finds the bar gone when it returns, and stops.
    link_->open.store(false, std::memory_order_relaxed);
    // Both timers die first, so no scroll step or update starts while the
    // window goes away.
    windows.KillTimer(hwnd(), SCROLL_TIMER);
    windows.KillTimer(hwnd(), UPDATE_TIMER);
    LeaveDesktop();
    memoryDC.RestoreSelection();
    logoBitmap.reset();
    windowDC.reset();
    memoryDC.reset();
    SaveSettings();
    windows.EndDialog(hwnd(), 0);
    windows.PostQuitMessage(0);
    return 0;
}

}  // namespace ticker
