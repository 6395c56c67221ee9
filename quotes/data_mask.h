#pragma once
// The bits of the data mask: which quote fields an item shows, and whether
// prices show in 64ths. Bits outside this list mean nothing and are ignored.
#include <cstdint>

namespace quotes {

inline constexpr std::uint32_t kShowPrice = 0x1;
inline constexpr std::uint32_t kShowTime = 0x10;
inline constexpr std::uint32_t kShowChange = 0x100;
inline constexpr std::uint32_t kShowPercentChange = 0x2;
inline constexpr std::uint32_t kShowPrevClose = 0x1000;
inline constexpr std::uint32_t kShowOpen = 0x2000;
inline constexpr std::uint32_t kShowHigh = 0x10000;
inline constexpr std::uint32_t kShowLow = 0x100000;
inline constexpr std::uint32_t kShowVolume = 0x1000000;
// Not a field: the six price fields in 64ths instead of decimals.
inline constexpr std::uint32_t kShowFractions = 0x10000000;

// Current price and day's change, in 64ths.
inline constexpr std::uint32_t kDefaultDataMask = kShowPrice | kShowChange | kShowFractions;
// Every field except the opening price, in 64ths.
inline constexpr std::uint32_t kSelectAllDataMask = kShowPrice | kShowTime | kShowChange | kShowPercentChange |
                                                    kShowPrevClose | kShowHigh | kShowLow | kShowVolume |
                                                    kShowFractions;

static_assert(kDefaultDataMask == 0x10000101, "default data mask");
static_assert(kSelectAllDataMask == 0x11111113, "select-all data mask");

}  // namespace quotes
