// The left mouse button: one handler for press, move and release. Dragging
// the bar moves it, dragging a grip changes its width, and a press and
// release without a drag step beyond the click tolerance clicks the item or
// the logo under the pointer. A drag lasts only while the bar holds the
// mouse: once another window takes it, the release never comes here.
#include "app/monitors.h"
#include "platform/constants.h"
#include "quotes/browser.h"
#include "quotes/endpoints.h"
#include "ticker/drag.h"
#include "ticker/grips.h"
#include "ticker/ticker_window.h"

namespace ticker {

platform::ProcResult TickerWindow::OnMouse(const app::Message& message) {
    // The menu of a right press, a switch to another program or a locked
    // screen took the mouse: lParam names a window, not a point.
    if (message.id == platform::kWmCaptureChanged) {
        if (dragging) AbandonDrag();
        return 0;
    }
    // The button came up where the bar could not see it. The move came
    // here, so no other window of this thread holds the mouse.
    if (message.id == platform::kWmMouseMove && dragging && (message.wParam & platform::kMkLButton) == 0) {
        AbandonDrag();
        platform_.windows.ReleaseCapture();
    }
    platform::Rect client;
    platform_.windows.GetClientRect(hwnd(), client);
    const std::int16_t x = platform::LowWordSigned(message.lParam);
    const std::int16_t y = platform::HighWordSigned(message.lParam);
    // Outside a drag the cursor and the grip follow the pointer; during one
    // they stay as the press found them.
    if (!dragging) FollowGrip(x, client.right);
    switch (message.id) {
    case platform::kWmLButtonDown:
        BeginDrag(x, y);
        break;
    case platform::kWmMouseMove:
        if (dragging) DragStep(x, y, client);
        break;
    case platform::kWmLButtonUp:
        EndDrag(x);
        break;
    default:
        break;
    }
    return 0;
}

void TickerWindow::FollowGrip(std::int16_t x, std::int32_t clientRight) {
    platform::WindowManager& windows = platform_.windows;
    const Grip grip = GripAt(x, clientRight, DragSizesForDpi(dpi).gripZone);
    windows.SetCursor(windows.LoadCursor(nullptr, grip == Grip::None ? platform::kIdcArrow : platform::kIdcSizeWe));
    resizingLeft = grip == Grip::Left;
    resizingRight = grip == Grip::Right;
}

void TickerWindow::BeginDrag(std::int16_t x, std::int16_t y) {
    dragOrigin = DragOrigin{x, y};
    platform_.windows.SetCapture(hwnd());
    dragging = true;
    dragMoved = false;
}

void TickerWindow::DragStep(std::int16_t x, std::int16_t y, const platform::Rect& client) {
    platform::WindowManager& windows = platform_.windows;
    // dragOrigin stays put: in a move and a left resize the bar follows the
    // pointer, so each step's delta is the movement since the last step.
    const std::int16_t dx = DragDelta(x, dragOrigin.x);
    const std::int16_t dy = DragDelta(y, dragOrigin.y);
    const DragSizes sizes = DragSizesForDpi(dpi);
    if (BeyondClickTolerance(dx, dy, sizes.clickTolerance)) dragMoved = true;
    platform::Rect window;
    windows.GetWindowRect(hwnd(), window);
    if (resizingLeft) {
        if (const auto resized = ResizedLeft(window, dx, sizes.narrowestResize)) ResizeTo(*resized, client);
    } else if (resizingRight) {
        if (const auto resized = ResizedRight(window, dragOrigin.x, dx, sizes.narrowestResize)) {
            ResizeTo(*resized, client);
        }
    } else {
        if (dx != 0 || dy != 0) UndockForDrag();
        platform::Rect moved = MovedBy(window, dx, dy);
        if (snapping) moved = SnappedToWorkArea(moved);
        windows.MoveWindow(hwnd(), moved.left, moved.top, moved.right - moved.left, moved.bottom - moved.top, true);
    }
}

void TickerWindow::ResizeTo(const platform::Rect& window, const platform::Rect& client) {
    platform::WindowManager& windows = platform_.windows;
    windows.MoveWindow(hwnd(), window.left, window.top, window.right - window.left, window.bottom - window.top, true);
    // The right grip as it stood before the resize.
    const platform::Rect oldGrip{client.right - Scaled(kGripWidth), client.top, client.right, client.bottom};
    windows.InvalidateRect(hwnd(), &oldGrip, true);
}

platform::Rect TickerWindow::SnappedToWorkArea(const platform::Rect& window) {
    // The edges of the monitor the bar is (mostly) on.
    const app::MonitorSpot spot = app::MonitorOf(platform_.windows, window);
    return SnapToEdges(window, spot.info.monitor, spot.info.work);
}

void TickerWindow::EndDrag(std::int16_t x) {
    // Only a release that ends a press on the bar can click: not the second
    // release of a double-click (whose press comes as WM_LBUTTONDBLCLK), nor
    // one whose press was made on another window.
    const bool pressedHere = dragging;
    // Over before the capture goes, so the capture change that releasing
    // sends finds no drag to abandon.
    dragging = false;
    platform_.windows.ReleaseCapture();
    if (pressedHere && !dragMoved && !resizingLeft && !resizingRight) ClickAt(x);
    resizingLeft = false;
    resizingRight = false;
    RedockAfterDrag();
}

void TickerWindow::AbandonDrag() {
    // No click: the release it would need never came. The grips are chosen
    // afresh by the next message. The capture is not released here: it may
    // belong to the menu by now.
    dragging = false;
    resizingLeft = false;
    resizingRight = false;
    RedockAfterDrag();
}

void TickerWindow::ClickAt(std::int16_t x) {
    for (const auto& item : itemList) {
        if (item && item->x < x && x < item->Right()) {
            item->Click();
            return;
        }
    }
    if (logoX < x && x < logoX + logoSize) quotes::OpenInBrowser(platform_.shell, quotes::HomeSite());
}

}  // namespace ticker
