#include "ticker/drag.h"

#include <cstdlib>

#include "ticker/grips.h"

namespace ticker {

namespace {

// One axis of the snap: a span [low, high) within `distance` of 0 moves to
// 0, else one within `distance` of `far` moves to end there; its length stays.
void SnapAxis(std::int32_t& low, std::int32_t& high, std::int32_t far, std::int32_t distance) {
    const std::int32_t length = high - low;
    if (low < distance) {
        low = 0;
        high = length;
    } else if (high + distance > far) {
        low = far - length;
        high = far;
    }
}

}  // namespace

Grip GripAt(std::int16_t x, std::int32_t clientRight) {
    if (x <= kGripZone) return Grip::Left;
    if (x >= clientRight - kGripZone) return Grip::Right;
    return Grip::None;
}

std::int16_t DragDelta(std::int16_t pointer, std::int16_t origin) {
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(static_cast<std::uint16_t>(pointer) -
                                                                static_cast<std::uint16_t>(origin)));
}

bool BeyondClickTolerance(std::int16_t dx, std::int16_t dy) {
    return std::abs(dx) > kClickTolerance || std::abs(dy) > kClickTolerance;
}

platform::Rect MovedBy(platform::Rect window, std::int16_t dx, std::int16_t dy) {
    window.left += dx;
    window.right += dx;
    window.top += dy;
    window.bottom += dy;
    return window;
}

std::optional<platform::Rect> ResizedLeft(platform::Rect window, std::int16_t dx) {
    window.left += dx;
    if (window.left + kNarrowestResize < window.right) return window;
    return std::nullopt;
}

std::optional<platform::Rect> ResizedRight(platform::Rect window, std::int16_t originX, std::int16_t dx) {
    window.right = window.left + originX + dx;
    if (window.left + kNarrowestResize < window.right) return window;
    return std::nullopt;
}

platform::Rect SnapToEdges(platform::Rect r, const platform::Rect& workArea) {
    // Only the work area's right and bottom edges decide whether the bar is
    // on the screen at all.
    const bool onScreen = r.right > 0 && r.left < workArea.right && r.bottom > 0 && r.top < workArea.bottom;
    if (!onScreen) return r;
    const std::int32_t distance = r.bottom - r.top;  // the bar's height, on both axes
    SnapAxis(r.top, r.bottom, workArea.bottom, distance);
    SnapAxis(r.left, r.right, workArea.right, distance);
    return r;
}

}  // namespace ticker
