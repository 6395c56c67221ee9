#pragma once
// What a mouse message means for the bar, decided without the platform:
// which grip the pointer is on, how far a drag step went, and the window
// rectangle a move or a resize asks for.
#include <cstdint>
#include <optional>

#include "platform/types.h"
#include "ticker/grips.h"

namespace ticker {

enum class Grip { None, Left, Right };

// A drag step further than this from the press, in x or y, makes the drag
// a move rather than a click (at 96 DPI, like every size here).
inline constexpr std::int16_t kClickTolerance = 2;
// A resize is applied only while the bar stays wider than this.
inline constexpr std::int32_t kNarrowestResize = 100;

// The sizes of a drag in pixels at the bar's DPI.
struct DragSizes {
    std::int32_t gripZone;
    std::int32_t clickTolerance;
    std::int32_t narrowestResize;
};
DragSizes DragSizesForDpi(std::uint32_t dpi);

// The grip under client x on a bar `clientRight` wide; the left grip is
// tested first, so on a very narrow bar both zones count as left.
Grip GripAt(std::int16_t x, std::int32_t clientRight, std::int32_t gripZone = kGripZone);

// pointer - origin, computed in 16 bits as the message coordinates are.
std::int16_t DragDelta(std::int16_t pointer, std::int16_t origin);
bool BeyondClickTolerance(std::int16_t dx, std::int16_t dy, std::int32_t tolerance = kClickTolerance);

// The window moved by dx and dy.
platform::Rect MovedBy(platform::Rect window, std::int16_t dx, std::int16_t dy);
// The left edge moved by dx; nothing when the bar would be 100 pixels wide
// or narrower.
std::optional<platform::Rect> ResizedLeft(platform::Rect window, std::int16_t dx,
                                         std::int32_t narrowest = kNarrowestResize);
// The right edge at the pointer (the press's client x plus dx, measured
// from the unchanged left edge); nothing when too narrow.
std::optional<platform::Rect> ResizedRight(platform::Rect window, std::int16_t originX, std::int16_t dx,
                                          std::int32_t narrowest = kNarrowestResize);

// Pulls a window rectangle (screen coordinates) to the edges it comes
// within its own height of: top and left to 0, bottom and right to the
// work area's. A rectangle wholly outside the screen is left alone. The
// size never changes.
platform::Rect SnapToEdges(platform::Rect r, const platform::Rect& workArea);
// The same on one monitor of several: top and left to the monitor's own
// top-left corner (0, 0 on the primary), bottom and right to its work
// area's; a rectangle wholly outside that monitor is left alone.
platform::Rect SnapToEdges(platform::Rect r, const platform::Rect& monitor, const platform::Rect& workArea);

}  // namespace ticker
