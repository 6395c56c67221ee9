#include "ticker/placement.h"

#include <algorithm>
#include <iterator>

namespace ticker {

bool ShowsEnough(const platform::Rect& bar, const platform::Rect& monitor) {
    const std::int32_t height = bar.bottom - bar.top;
    const std::int32_t shownWidth = std::min(bar.right, monitor.right) - std::max(bar.left, monitor.left);
    const std::int32_t shownHeight = std::min(bar.bottom, monitor.bottom) - std::max(bar.top, monitor.top);
    return shownWidth >= height && shownHeight > 0;
}

platform::Rect DefaultPlace(std::int32_t width, std::int32_t height, std::int32_t screenRight,
                            std::int32_t rightMargin) {
    platform::Rect place;
    place.right = screenRight - rightMargin;
    place.left = place.right - width;
    place.top = 0;
    place.bottom = height;
    return place;
}

int LogoResourceFor(std::int32_t logoSize) {
    for (const LogoArt& art : kLogoArt) {
        if (art.size >= logoSize) return art.resource;
    }
    return std::end(kLogoArt)[-1].resource;
}

}  // namespace ticker
