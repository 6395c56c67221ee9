#include "ticker/drag.h"

#include <cstdlib>

#include "ticker/grips.h"

namespace ticker {

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
    const std::int32_t height = r.bottom - r.top;
    const std::int32_t width = r.right - r.left;
    const std::int32_t distance = height;  // on both axes
    if (r.top < distance) {
        r.top = 0;
        r.bottom = height;
    } else if (r.bottom + distance > workArea.bottom) {
        r.top = workArea.bottom - height;
        r.bottom = workArea.bottom;
    }
    if (r.left < distance) {
        r.left = 0;
        r.right = width;
    } else if (r.right + distance > workArea.right) {
        r.left = workArea.right - width;
        r.right = workArea.right;
    }
    return r;
}

}  // namespace ticker
