#pragma once
// The text an item shows after its label, and the colour of the item.
#include <cstdint>
#include <string>

#include "quotes/quote_fields.h"

namespace quotes {

// COLORREF values (red in the low byte) for the sign of the day's change.
inline constexpr std::uint32_t kFallingColor = 0x000000DD;    // red
inline constexpr std::uint32_t kUnchangedColor = 0x00CC0000;  // blue
inline constexpr std::uint32_t kRisingColor = 0x00006600;     // green

// The fields that `mask` selects (quotes/data_mask.h), in their fixed order,
// each followed by a space, with the trailing white space removed at the end.
std::string BuildDataText(const QuoteFields& fields, std::uint32_t mask);

// Red below 0, blue at 0, green above. A NaN change has no sign and shows
// blue, the colour of a quote that did not move.
std::uint32_t ColorForChange(double change);

}  // namespace quotes
