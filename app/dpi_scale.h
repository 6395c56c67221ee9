#pragma once
// Sizes are written for 96 DPI and scaled where they are used, by the DPI
// of the monitor the bar stands on; at 96 every size is what it was.
#include <cstdint>

#include "platform/constants.h"
#include "platform/types.h"

namespace app {

// value x dpi / 96, rounded to the nearest whole pixel, halves away from
// zero (as MulDiv rounds).
constexpr std::int32_t ScaleForDpi(std::int32_t value96, std::uint32_t dpi) {
    const std::int64_t product = std::int64_t{value96} * dpi;
    const std::int64_t half = platform::kBaseDpi / 2;
    return static_cast<std::int32_t>((product >= 0 ? product + half : product - half) / platform::kBaseDpi);
}

// The other way: pixels at `dpi` back to 96-DPI units.
constexpr std::int32_t UnscaleForDpi(std::int32_t pixels, std::uint32_t dpi) {
    if (dpi == 0) return pixels;
    const std::int64_t product = std::int64_t{pixels} * platform::kBaseDpi;
    const std::int64_t half = dpi / 2;
    return static_cast<std::int32_t>((product >= 0 ? product + half : product - half) / dpi);
}

// A rectangle in 96-DPI units as it stands on a monitor whose top-left
// corner is `origin`, at `dpi`: the monitor's corner stays, distances from it
// scale. The height is scaled on its own, so the bar's height never depends
// on where it stands.
inline platform::Rect RectToPixels(const platform::Rect& units, const platform::Point& origin, std::uint32_t dpi) {
    platform::Rect pixels;
    pixels.left = origin.x + ScaleForDpi(units.left - origin.x, dpi);
    pixels.right = origin.x + ScaleForDpi(units.right - origin.x, dpi);
    pixels.top = origin.y + ScaleForDpi(units.top - origin.y, dpi);
    pixels.bottom = pixels.top + ScaleForDpi(units.bottom - units.top, dpi);
    return pixels;
}

inline platform::Rect RectToUnits(const platform::Rect& pixels, const platform::Point& origin, std::uint32_t dpi) {
    platform::Rect units;
    units.left = origin.x + UnscaleForDpi(pixels.left - origin.x, dpi);
    units.right = origin.x + UnscaleForDpi(pixels.right - origin.x, dpi);
    units.top = origin.y + UnscaleForDpi(pixels.top - origin.y, dpi);
    units.bottom = units.top + UnscaleForDpi(pixels.bottom - pixels.top, dpi);
    return units;
}

}  // namespace app
