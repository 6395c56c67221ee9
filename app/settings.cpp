#include "app/settings.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/constants.h"
#include "platform/scoped.h"

namespace app {

const char* const kGreetingText =
    "Velmoria - Free, Easy, Interactive Stock Ticker\n\n"
    "Here are two tips to get you started:\n"
    "#1. Right-click on Velmoria to see a menu of options.\n"
    "#2. Click on scrolling symbols to get detailed information.\n\n"
    "Press OK to start Velmoria...";

namespace {

constexpr std::uint32_t kDwordSize = 4;

// A value counts only when the read succeeded with exactly a 4-byte DWORD;
// a short or long value of that type would leave the buffer half-filled.
bool ReadDword(platform::Registry& registry, platform::RegKeyHandle key, const char* name, std::uint32_t& value) {
    std::uint8_t buffer[kDwordSize] = {};
    std::uint32_t type = platform::kRegNone;
    std::uint32_t size = kDwordSize;
    const long status = registry.QueryValue(key, name, &type, buffer, &size);
    if (status != platform::kErrorSuccess || type != platform::kRegDword || size != kDwordSize) return false;
    value = static_cast<std::uint32_t>(buffer[0]) | static_cast<std::uint32_t>(buffer[1]) << 8 |
            static_cast<std::uint32_t>(buffer[2]) << 16 | static_cast<std::uint32_t>(buffer[3]) << 24;
    return true;
}

std::int32_t AsSigned(std::uint32_t value) {
    std::int32_t result;
    std::memcpy(&result, &value, sizeof result);
    return result;
}

bool ReadCoordinate(platform::Registry& registry, platform::RegKeyHandle key, const char* name,
                    std::int32_t& coordinate) {
    std::uint32_t value = 0;
    if (!ReadDword(registry, key, name, value)) return false;
    coordinate = std::clamp(AsSigned(value), -kCoordinateLimit, kCoordinateLimit);
    return true;
}

void ReadFlag(platform::Registry& registry, platform::RegKeyHandle key, const char* name, bool& flag) {
    std::uint32_t value = 0;
    if (ReadDword(registry, key, name, value)) flag = AsSigned(value) > 0;
}

void ReadSymbols(platform::Registry& registry, platform::RegKeyHandle key, std::string& symbols) {
    std::uint32_t type = platform::kRegNone;
    std::uint32_t size = 0;
    if (registry.QueryValue(key, "Symbols", &type, nullptr, &size) != platform::kErrorSuccess) return;
    if (type != platform::kRegSz || size == 0 || size > kMaxSymbolsBytes) return;

    // One spare zero byte, so a value stored without its terminator still
    // ends inside the buffer.
    std::vector<std::uint8_t> buffer(static_cast<std::size_t>(size) + 1, 0);
    std::uint32_t readSize = size;
    type = platform::kRegNone;
    if (registry.QueryValue(key, "Symbols", &type, buffer.data(), &readSize) != platform::kErrorSuccess) return;
    if (type != platform::kRegSz) return;
    const std::size_t filled = std::min<std::size_t>(readSize, size);
    const auto end = std::find(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(filled), 0);
    symbols.assign(buffer.begin(), end);
}

std::int16_t LimitSpeed(std::int16_t speed) { return std::clamp(speed, kSlowestSpeed, kFastestSpeed); }

void CorrectWidth(platform::Rect& rect) {
    if (rect.left + kSmallestStoredWidth >= rect.right) {
        rect.left = rect.right - kSmallestStoredWidth;
        if (rect.left < 0) {
            rect.right = kSmallestStoredWidth;
            rect.left = 0;
        }
    }
}

void CorrectHeight(platform::Rect& rect) {
    if (rect.top + kSmallestStoredHeight >= rect.bottom) {
        rect.top = rect.bottom - kSmallestStoredHeight;
        if (rect.top < 0) {
            rect.bottom = kSmallestStoredHeight;
            rect.top = 0;
        }
    }
}

void WriteDword(platform::Registry& registry, platform::RegKeyHandle key, const char* name, std::uint32_t value) {
    const std::uint8_t bytes[kDwordSize] = {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
                                            static_cast<std::uint8_t>(value >> 16),
                                            static_cast<std::uint8_t>(value >> 24)};
    registry.SetValue(key, name, platform::kRegDword, bytes, kDwordSize);
}

std::uint32_t AsDword(std::int32_t value) { return static_cast<std::uint32_t>(value); }

}  // namespace

SettingsSource ReadTickerSettings(platform::Registry& registry, TickerSettings& settings) {
    settings.rect = platform::Rect{};
    platform::ScopedRegKey key(registry);
    if (registry.OpenKey(kSettingsRoot, kSettingsKeyPath, key.out()) != platform::kErrorSuccess) {
        return SettingsSource::FirstRun;
    }

    platform::Rect& rect = settings.rect;
    if (ReadCoordinate(registry, key.get(), "Top", rect.top)) rect.bottom = rect.top + kStoredBarHeight;
    ReadCoordinate(registry, key.get(), "Left", rect.left);
    ReadCoordinate(registry, key.get(), "Right", rect.right);
    ReadFlag(registry, key.get(), "AlwaysOnTop", settings.alwaysOnTop);
    ReadFlag(registry, key.get(), "Snapping", settings.snapping);
    ReadDword(registry, key.get(), "DataMask", settings.dataMask);
    ReadDword(registry, key.get(), "Update", settings.updateInterval);
    std::uint32_t speed = 0;
    if (ReadDword(registry, key.get(), "Speed", speed)) {
        settings.speed = static_cast<std::int16_t>(static_cast<std::uint16_t>(speed & 0xFFFFu));
    }
    ReadSymbols(registry, key.get(), settings.symbols);
    std::uint32_t reserve = 0;
    if (ReadDword(registry, key.get(), kReserveScreenSpaceValue, reserve)) {
        settings.reserveScreenSpace = AsSigned(reserve) > 0;
        settings.reserveScreenSpaceStored = true;
    }

    settings.speed = LimitSpeed(settings.speed);
    CorrectWidth(rect);
    CorrectHeight(rect);
    return SettingsSource::Stored;
}

void WriteTickerSettings(platform::Registry& registry, const TickerSettings& settings) {
    platform::ScopedRegKey key(registry);
    if (registry.CreateKey(kSettingsRoot, kSettingsKeyPath, key.out()) != platform::kErrorSuccess) return;

    WriteDword(registry, key.get(), "Top", AsDword(settings.rect.top));
    WriteDword(registry, key.get(), "Left", AsDword(settings.rect.left));
    WriteDword(registry, key.get(), "Right", AsDword(settings.rect.right));
    WriteDword(registry, key.get(), "DataMask", settings.dataMask);
    WriteDword(registry, key.get(), "Update", settings.updateInterval);
    WriteDword(registry, key.get(), "AlwaysOnTop", settings.alwaysOnTop ? 1u : 0u);
    WriteDword(registry, key.get(), "Snapping", settings.snapping ? 1u : 0u);
    WriteDword(registry, key.get(), "Speed", AsDword(settings.speed));
    // The text's bytes only, without a terminating zero: an empty list is
    // an empty value, which the next load ignores.
    registry.SetValue(key.get(), "Symbols", platform::kRegSz,
                      reinterpret_cast<const std::uint8_t*>(settings.symbols.data()),
                      static_cast<std::uint32_t>(settings.symbols.size()));
    if (settings.reserveScreenSpace || settings.reserveScreenSpaceStored) {
        WriteDword(registry, key.get(), kReserveScreenSpaceValue, settings.reserveScreenSpace ? 1u : 0u);
    }
}

}  // namespace app
