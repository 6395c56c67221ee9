#pragma once
// Where the symbol entry bar and its controls go, in pixels: the bar takes
// the ticker's left edge, width and height, directly below the ticker or,
// without room there, directly above; from left to right it holds the
// prompt, the edit field, OK and Cancel.
#include <cstdint>

#include "platform/constants.h"
#include "platform/types.h"

namespace symbols {

// The arguments of one MoveWindow.
struct Placement {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    friend bool operator==(const Placement& a, const Placement& b) {
        return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
    }
};

struct EntryBarLayout {
    Placement bar;  // screen coordinates
    Placement prompt;
    Placement edit;
    Placement ok;
    Placement cancel;
};

inline constexpr std::int32_t kOkWidth = 30;
inline constexpr std::int32_t kCancelWidth = 40;
// OK and Cancel together, at the right end.
inline constexpr std::int32_t kButtonsWidth = kOkWidth + kCancelWidth;

// `ticker` is the ticker's window rectangle, `promptWidth` the prompt's
// width. On a ticker too narrow for the prompt and the buttons the edit
// field gets width 0, never a negative one.
// OK and Cancel are as wide at the ticker's `dpi` as they are at 96.
EntryBarLayout LayOutEntryBar(const platform::Rect& ticker, const platform::Rect& workArea,
                              std::int32_t promptWidth, std::uint32_t dpi = platform::kBaseDpi);

// The prompt's width from its measured extent and the measuring context's
// average character width: extent x 4 / (average - 2), truncated; 0 when the
// average is 2 or less.
std::int32_t ScaledPromptWidth(std::int32_t extentWidth, std::int32_t averageCharWidth);

}  // namespace symbols
