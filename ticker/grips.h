#pragma once
// The bar's end grips: painted strips at both ends, and the zones where the
// mouse takes hold of them.
#include <cstdint>

namespace ticker {

// Width of each painted grip, at 96 DPI (the bar scales it by its own).
inline constexpr std::int32_t kGripWidth = 5;
// A pointer at client x <= this is on the left grip (one column wider than
// the painted one), at x >= client right - this on the right grip.
inline constexpr std::int32_t kGripZone = 5;

}  // namespace ticker
