// The settings load over whatever the registry holds: the fuzz input decides
// whether the key exists and, for each value the bar reads (and one of any
// name), whether it is there, its type, its size and its bytes. The load's
// own promises are checked: the speed stays in range and a symbol list above
// the bound is not taken.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/settings.h"
#include "platform/fake/fake_platform.h"

namespace {

const std::string kKey = std::string("HKLM\\") + app::kSettingsKeyPath;
const char* const kValueNames[] = {"Top",      "Left",   "Right", "AlwaysOnTop", "Snapping",
                                   "DataMask", "Update", "Speed", "Symbols"};
// Registry types up to REG_QWORD, then anything.
constexpr std::uint32_t kHighestKnownType = 11;
constexpr std::size_t kSmallValueBytes = 16;
// A value past the bound on symbols, made of one repeated byte so the input stays small.
constexpr std::size_t kLargeValueBytes = app::kMaxSymbolsBytes + 2;

std::vector<std::uint8_t> ValueBytes(FuzzedDataProvider& input) {
    switch (input.ConsumeIntegralInRange<int>(0, 3)) {
    case 0: return input.ConsumeBytes<std::uint8_t>(input.ConsumeIntegralInRange<std::size_t>(0, kSmallValueBytes));
    case 1: return input.ConsumeBytes<std::uint8_t>(input.ConsumeIntegralInRange<std::size_t>(0, 4096));
    case 2: return std::vector<std::uint8_t>(kLargeValueBytes - input.ConsumeIntegralInRange<std::size_t>(0, 4),
                                             input.ConsumeIntegral<std::uint8_t>());
    default: return {};
    }
}

void FillValue(FuzzedDataProvider& input, platform::fake::FakePlatform::Value& value) {
    value.type = input.ConsumeBool() ? input.ConsumeIntegralInRange<std::uint32_t>(0, kHighestKnownType)
                                     : input.ConsumeIntegral<std::uint32_t>();
    value.data = ValueBytes(input);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    platform::fake::FakePlatform platform;
    if (input.ConsumeBool()) {
        auto& values = platform.registry[kKey];
        for (const char* name : kValueNames) {
            if (input.ConsumeBool()) FillValue(input, values[name]);
        }
        if (input.ConsumeBool()) FillValue(input, values[input.ConsumeRandomLengthString(16)]);
    }

    app::TickerSettings settings;
    app::ReadTickerSettings(platform, settings);
    if (settings.speed < app::kSlowestSpeed || settings.speed > app::kFastestSpeed) std::abort();
    if (settings.symbols.size() > app::kMaxSymbolsBytes) std::abort();
    return 0;
}
