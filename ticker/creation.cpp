// Creation of the bar: title, settings, placement, drawing surfaces, timers.
#include "platform/constants.h"
#include "ticker/ids.h"
#include "ticker/ticker_window.h"

namespace ticker {

platform::ProcResult TickerWindow::OnInitDialog(const app::Message&) {
    platform::WindowManager& windows = platform_.windows;
    link_->window = hwnd();  // before any worker starts
    windows.SetWindowText(hwnd(), kTickerTitle);
    PlaceWindow(LoadSettings());
    if (alwaysOnTop) {
        windows.SetWindowPos(hwnd(), platform::kHwndTopmost, 0, 0, 0, 0, platform::kSwpNoMove | platform::kSwpNoSize);
    }
    PrepareDrawing();
    windows.SetTimer(hwnd(), SCROLL_TIMER, scrollInterval);
    windows.SetTimer(hwnd(), UPDATE_TIMER, updateDelay);
    WatchDesktop();
    WatchShell();
    return 1;
}

void TickerWindow::PlaceWindow(const platform::Rect& stored) {
    platform::WindowManager& windows = platform_.windows;
    platform::Rect target = stored;
    if (stored.bottom == 0 || stored.right == 0) {
        // Nothing stored: keep the template's size, top of the screen,
        // right edge a little left of the screen's right edge.
        platform::Rect current;
        windows.GetWindowRect(hwnd(), current);
        const std::int32_t width = current.right - current.left;
        const std::int32_t height = current.bottom - current.top;
        target.right = windows.GetSystemMetrics(platform::kSmCxScreen) - kDefaultRightMargin;
        target.left = target.right - width;
        target.top = 0;
        target.bottom = height;
    }
    windows.MoveWindow(hwnd(), target.left, target.top, target.right - target.left, target.bottom - target.top, true);
}

void TickerWindow::PrepareDrawing() {
    platform::Gdi& gdi = platform_.gdi;
    platform::Rect client;
    platform_.windows.GetClientRect(hwnd(), client);
    logoSize = client.bottom - client.top;
    logoBitmap.reset(gdi.LoadImage(hInstance, kLogoBitmap, platform::kImageBitmap, logoSize, logoSize,
                                   platform::kLrLoadMap3dColors | platform::kLrLoadTransparent));
    windowDC.Take(hwnd());
    memoryDC.Create(windowDC.get(), logoBitmap.get());
    gdi.SetBkMode(windowDC.get(), platform::kOpaque);
    const platform::ColorRef buttonFace = gdi.GetSysColor(platform::kColorBtnFace);
    gdi.SetBkColor(windowDC.get(), buttonFace);
    backgroundBrush.reset(gdi.CreateSolidBrush(buttonFace));
}

}  // namespace ticker
