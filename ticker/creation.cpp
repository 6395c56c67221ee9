// Creation of the bar: title, settings, placement, drawing surfaces, timers.
#include "app/dpi_scale.h"
#include "app/monitors.h"
#include "platform/constants.h"
#include "ticker/ids.h"
#include "ticker/placement.h"
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
    if (stored.bottom == 0 || stored.right == 0) {
        PlaceByDefault(nullptr);
        return;
    }
    // The stored rectangle is in 96-DPI units, distances from the corner of
    // the monitor it lies on scaled by that monitor's DPI.
    const app::MonitorSpot spot = app::MonitorOf(platform_.windows, stored);
    const platform::Rect target = app::RectToPixels(stored, spot.origin(), spot.dpi);
    // A bar that would stand where no monitor shows it (one unplugged, a
    // resolution lowered) could never be found again: it starts at the
    // default place instead.
    if (!ShowsEnough(target, app::MonitorOf(platform_.windows, target).info.monitor)) {
        PlaceByDefault(&stored);
        return;
    }
    MoveForDpi(target, spot.dpi);
}

void TickerWindow::PlaceByDefault(const platform::Rect* units) {
    platform::WindowManager& windows = platform_.windows;
    const app::MonitorSpot primary = app::PrimaryMonitorOf(windows);
    std::int32_t width = 0;
    std::int32_t height = 0;
    if (units != nullptr) {
        width = app::ScaleForDpi(units->right - units->left, primary.dpi);
        height = app::ScaleForDpi(units->bottom - units->top, primary.dpi);
    } else {
        // The template's size, as the platform made it for the primary
        // monitor, where the window is created.
        platform::Rect current;
        windows.GetWindowRect(hwnd(), current);
        width = current.right - current.left;
        height = current.bottom - current.top;
    }
    const std::int32_t screenRight = windows.GetSystemMetrics(platform::kSmCxScreen);
    MoveForDpi(DefaultPlace(width, height, screenRight, app::ScaleForDpi(kDefaultRightMargin, primary.dpi)),
               primary.dpi);
}

void TickerWindow::PrepareDrawing() {
    platform::Gdi& gdi = platform_.gdi;
    platform::Rect client;
    platform_.windows.GetClientRect(hwnd(), client);
    logoSize = client.bottom - client.top;
    LoadLogo();
    windowDC.Take(hwnd());
    memoryDC.Create(windowDC.get(), logoBitmap.get());
    gdi.SetBkMode(windowDC.get(), platform::kOpaque);
    const platform::ColorRef buttonFace = gdi.GetSysColor(platform::kColorBtnFace);
    gdi.SetBkColor(windowDC.get(), buttonFace);
    backgroundBrush.reset(gdi.CreateSolidBrush(buttonFace));
}

void TickerWindow::LoadLogo() {
    logoBitmap.reset(platform_.gdi.LoadImage(hInstance, LogoResourceFor(logoSize), platform::kImageBitmap, logoSize,
                                             logoSize, platform::kLrLoadMap3dColors | platform::kLrLoadTransparent));
}

}  // namespace ticker
