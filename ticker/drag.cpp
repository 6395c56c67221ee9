#include "ticker/drag.h"

#include <cstdlib>

#include "app/dpi_scale.h"
#include "ticker/grips.h"

namespace ticker {

namespace {

// One axis of the snap: a span [low, high) within `distance` of `near`
// moves to start there, else one within `distance` of `far` moves to end
// there; its length stays.
void SnapAxis(std::int32_t& low, std::int32_t& high, std::int32_t near, std::int32_t far, std::int32_t distance) {
    const std::int32_t length = high - low;
    if (low - near < distance) {
        low = near;
        high = near + length;
    } else if (high + distance > far) {
        low = far - length;
        high = far;
    }
}

}  // namespace

DragSizes DragSizesForDpi(std::uint32_t dpi) {
    return DragSizes{app::ScaleForDpi(kGripZone, dpi), app::ScaleForDpi(kClickTolerance, dpi),
                     app::ScaleForDpi(kNarrowestResize, dpi)};
}

Grip GripAt(std::int16_t x, std::int32_t clientRight, std::int32_t gripZone) {
    if (x <= gripZone) return Grip::Left;
    if (x >= clientRight - gripZone) return Grip::Right;
    return Grip::None;
}

std::int16_t DragDelta(std::int16_t pointer, std::int16_t origin) {
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(static_cast<std::uint16_t>(pointer) -
                                                                static_cast<std::uint16_t>(origin)));
}

bool BeyondClickTolerance(std::int16_t dx, std::int16_t dy, std::int32_t tolerance) {
    return std::abs(dx) > tolerance || std::abs(dy) > tolerance;
}

platform::Rect MovedBy(platform::Rect window, std::int16_t dx, std::int16_t dy) {
    window.left += dx;
    window.right += dx;
    window.top += dy;
    window.bottom += dy;
    return window;
}

std::optional<platform::Rect> ResizedLeft(platform::Rect window, std::int16_t dx, std::int32_t narrowest) {
    window.left += dx;
    if (window.left + narrowest < window.right) return window;
    return std::nullopt;
}

std::optional<platform::Rect> ResizedRight(platform::Rect window, std::int16_t originX, std::int16_t dx,
                                          std::int32_t narrowest) {
    window.right = window.left + originX + dx;
    if (window.left + narrowest < window.right) return window;
    return std::nullopt;
}

platform::Rect SnapToEdges(platform::Rect r, const platform::Rect& workArea) {
    return SnapToEdges(r, platform::Rect{0, 0, workArea.right, workArea.bottom}, workArea);
}

platform::Rect SnapToEdges(platform::Rect r, const platform::Rect& monitor, const platform::Rect& workArea) {
    // Only the work area's right and bottom edges decide whether the bar is
    // on the monitor at all; on the left and top, the monitor's own edges.
    const bool onScreen =
        r.right > monitor.left && r.left < workArea.right && r.bottom > monitor.top && r.top < workArea.bottom;
    if (!onScreen) return r;
    const std::int32_t distance = r.bottom - r.top;  // the bar's height, on both axes
    SnapAxis(r.top, r.bottom, monitor.top, workArea.bottom, distance);
    SnapAxis(r.left, r.right, monitor.left, workArea.right, distance);
    return r;
}

}  // namespace ticker
