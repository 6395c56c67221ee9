#pragma once
// Where the bar may stand, decided without the platform: whether enough of
// it shows on a monitor to be taken hold of, and its place when it does not.
#include <cstdint>

#include "platform/types.h"

namespace ticker {

// A bar shows enough of itself when a piece of it as long as the bar is
// high lies on the monitor, however little of its height: the pointer
// reaches the monitor's last row, and a piece that long holds more than the
// grip zones, so the bar can be dragged back.
bool ShowsEnough(const platform::Rect& bar, const platform::Rect& monitor);

// The default place for a bar `width` x `height` pixels: at the top of the
// primary monitor (whose origin is 0, 0), its right edge `rightMargin`
// pixels left of the screen's right edge `screenRight`.
platform::Rect DefaultPlace(std::int32_t width, std::int32_t height, std::int32_t screenRight,
                            std::int32_t rightMargin);

// The logo is drawn at several sizes, each sharp at its own; the bar loads
// the smallest drawn at least as large as it needs and lets the platform
// scale it down, or the largest when none is.
inline constexpr int kLogoBitmap = 206;  // the logo as drawn for 96 DPI, 18 x 18
struct LogoArt {
    std::int32_t size;
    int resource;
};
inline constexpr LogoArt kLogoArt[] = {{18, kLogoBitmap}, {23, 208}, {27, 209}, {32, 210}, {36, 211}, {45, 212}, {54, 213}};
int LogoResourceFor(std::int32_t logoSize);

}  // namespace ticker
