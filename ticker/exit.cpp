// Exit: the only way to end the bar.
#include "ticker/ids.h"
#include "ticker/ticker_window.h"

namespace ticker {

platform::ProcResult TickerWindow::ExitTicker(const app::Message&) {
    platform::WindowManager& windows = platform_.windows;
    {
        // From here on no worker reaches the bar: it may be blocked in a
        // download, and finds the bar gone when it returns.
        const platform::CriticalSectionLock lock(link_->lock);
        link_->window = nullptr;
    }
    // Both timers die first, so no scroll step or update starts while the
    // window goes away.
    windows.KillTimer(hwnd(), SCROLL_TIMER);
    windows.KillTimer(hwnd(), UPDATE_TIMER);
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
