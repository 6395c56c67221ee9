#include "ticker/menu_choices.h"

namespace ticker {

std::int16_t SpeedFor(std::uint16_t command) {
    for (const SpeedChoice& choice : kSpeedChoices) {
        if (choice.command == command) return choice.speed;
    }
    return kFallbackSpeed;
}

std::uint32_t IntervalFor(std::uint16_t command) {
    for (const UpdateChoice& choice : kUpdateChoices) {
        if (choice.command == command) return choice.intervalMs;
    }
    return kFallbackIntervalMs;
}

std::uint32_t DataMaskAfter(std::uint32_t mask, std::uint16_t command) {
    if (command == command::kSelectAll) return quotes::kSelectAllDataMask;
    if (command == command::kResetDefault) return quotes::kDefaultDataMask;
    for (const DataFieldChoice& choice : kDataFieldChoices) {
        if (choice.command == command) return mask ^ choice.bit;
    }
    return mask;
}

}  // namespace ticker
