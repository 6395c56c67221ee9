#include "symbols/entry_bar_layout.h"

#include <algorithm>
#include <limits>

#include "app/dpi_scale.h"

namespace symbols {

namespace {

constexpr std::int32_t kPromptScale = 4;
constexpr std::int32_t kSmallestAverageWidth = 2;

}  // namespace

EntryBarLayout LayOutEntryBar(const platform::Rect& ticker, const platform::Rect& workArea,
                              std::int32_t promptWidth, std::uint32_t dpi) {
    const std::int32_t width = ticker.right - ticker.left;
    const std::int32_t height = ticker.bottom - ticker.top;
    const bool roomBelow = ticker.bottom <= workArea.bottom - height;
    const std::int32_t top = roomBelow ? ticker.top + height : ticker.top - height;

    EntryBarLayout layout;
    layout.bar = Placement{ticker.left, top, width, height};
    layout.prompt = Placement{0, 0, promptWidth, height};
    const std::int32_t okWidth = app::ScaleForDpi(kOkWidth, dpi);
    const std::int32_t cancelWidth = app::ScaleForDpi(kCancelWidth, dpi);
    layout.cancel = Placement{width - cancelWidth, 0, cancelWidth, height};
    layout.ok = Placement{width - cancelWidth - okWidth, 0, okWidth, height};
    layout.edit = Placement{promptWidth, 0, std::max(0, width - promptWidth - cancelWidth - okWidth), height};
    return layout;
}

std::int32_t ScaledPromptWidth(std::int32_t extentWidth, std::int32_t averageCharWidth) {
    if (averageCharWidth <= kSmallestAverageWidth) return 0;
    const std::int64_t scaled =
        std::int64_t{extentWidth} * kPromptScale / (std::int64_t{averageCharWidth} - kSmallestAverageWidth);
    return static_cast<std::int32_t>(
        std::clamp<std::int64_t>(scaled, 0, std::numeric_limits<std::int32_t>::max()));
}

}  // namespace symbols
