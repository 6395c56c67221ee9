// The bar on today's screens: laid out for the DPI of the monitor it stands
// on, moved to another monitor's DPI when the platform says so, and brought
// back to the default place when the monitors change under it and none
// shows it any more.
#include "app/dpi_scale.h"
#include "app/monitors.h"
#include "platform/constants.h"
#include "ticker/placement.h"
#include "ticker/ticker_window.h"

namespace ticker {

std::int32_t TickerWindow::Scaled(std::int32_t value96) const { return app::ScaleForDpi(value96, dpi); }

void TickerWindow::MoveForDpi(const platform::Rect& target, std::uint32_t targetDpi) {
    const bool rescale = targetDpi != dpi;
    dpi = targetDpi;
    platform_.windows.MoveWindow(hwnd(), target.left, target.top, target.right - target.left,
                                 target.bottom - target.top, true);
    // Before creation has made them, there is nothing to redo.
    if (rescale && windowDC.get() != nullptr) RescaleDrawing();
}

platform::ProcResult TickerWindow::OnDpiChanged(const app::Message& message) {
    const std::uint32_t newDpi = platform::LowWord(message.wParam);
    // Already laid out for it: the bar moved itself there.
    if (newDpi == 0 || newDpi == dpi) return 0;
    dpi = newDpi;
    const auto* suggested = reinterpret_cast<const platform::Rect*>(message.lParam);
    if (suggested != nullptr) {
        platform_.windows.MoveWindow(hwnd(), suggested->left, suggested->top, suggested->right - suggested->left,
                                     suggested->bottom - suggested->top, true);
    }
    if (windowDC.get() != nullptr) RescaleDrawing();
    return 0;
}

void TickerWindow::RescaleDrawing() {
    if (Exited()) return;
    platform::Rect client;
    platform_.windows.GetClientRect(hwnd(), client);
    logoSize = client.bottom - client.top;
    // The old logo leaves the memory context before it is deleted.
    memoryDC.RestoreSelection();
    LoadLogo();
    memoryDC.Create(windowDC.get(), logoBitmap.get());
    itemFonts_ = std::make_shared<const quotes::ItemFonts>(platform_.gdi, windowDC.get(), dpi);
    for (const auto& item : itemList) {
        if (item) item->UseFonts(itemFonts_);
    }
    Relayout();
    platform_.windows.InvalidateRect(hwnd(), nullptr, true);
}

platform::ProcResult TickerWindow::OnDisplayChange(const app::Message&) {
    platform::Rect window;
    platform_.windows.GetWindowRect(hwnd(), window);
    // A bar that still shows is never moved.
    if (ShowsEnough(window, app::MonitorOf(platform_.windows, window).info.monitor)) return 0;
    const platform::Rect units = app::RectToUnits(window, platform::Point{window.left, window.top}, dpi);
    PlaceByDefault(&units);
    return 0;
}

}  // namespace ticker
