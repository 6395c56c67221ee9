#pragma once
// The choices of the three submenus: what each command shows as its label
// and what it sets. The menu and the command handlers read the same rows.
#include <cstdint>

#include "quotes/data_mask.h"
#include "ticker/ids.h"

namespace ticker {

struct SpeedChoice {
    const char* label;
    std::uint16_t command;
    std::int16_t speed;
};

inline constexpr SpeedChoice kSpeedChoices[] = {
    {"Stop", command::kSpeedStop, 0},
    {"Slow", command::kSpeedSlow, 1},
    {"Medium", command::kSpeedMedium, 3},
    {"Fast", command::kSpeedFast, 5},
};
// What any other command routed to the speed handler sets.
inline constexpr std::int16_t kFallbackSpeed = 1;

struct UpdateChoice {
    const char* label;
    std::uint16_t command;
    std::uint32_t intervalMs;
};

inline constexpr UpdateChoice kUpdateChoices[] = {
    {"Off", command::kUpdateOff, 0},
    {"2 minutes", command::kUpdate2Minutes, 120000},
    {"5 minutes", command::kUpdate5Minutes, 300000},
    {"10 minutes", command::kUpdate10Minutes, 600000},
    {"30 minutes", command::kUpdate30Minutes, 1800000},
};
// What any other interval command sets.
inline constexpr std::uint32_t kFallbackIntervalMs = 300000;
inline constexpr const char* kUpdateNowLabel = "Update Now";

struct DataFieldChoice {
    const char* label;
    std::uint16_t command;
    std::uint32_t bit;
};

// In menu order, which is neither the order of the commands nor of the bits.
inline constexpr DataFieldChoice kDataFieldChoices[] = {
    {"Current Price", command::kCurrentPrice, quotes::kShowPrice},
    {"Time", command::kTime, quotes::kShowTime},
    {"Day's Change", command::kDaysChange, quotes::kShowChange},
    {"Day's % Change", command::kDaysPercentChange, quotes::kShowPercentChange},
    {"Last Day's Close", command::kLastDaysClose, quotes::kShowPrevClose},
    {"Opening Price", command::kOpeningPrice, quotes::kShowOpen},
    {"Day's High", command::kDaysHigh, quotes::kShowHigh},
    {"Day's Low", command::kDaysLow, quotes::kShowLow},
    {"Day's Volume", command::kDaysVolume, quotes::kShowVolume},
    {"Show Fractions", command::kShowFractions, quotes::kShowFractions},
};
inline constexpr const char* kSelectAllLabel = "Select All";
inline constexpr const char* kResetDefaultLabel = "Reset Default";

// The setting each command gives.
std::int16_t SpeedFor(std::uint16_t command);
std::uint32_t IntervalFor(std::uint16_t command);
// The mask after a data command: a field flips its bit, Select All and
// Reset Default set the whole mask, anything else leaves it.
std::uint32_t DataMaskAfter(std::uint32_t mask, std::uint16_t command);

}  // namespace ticker
