#pragma once
// The nine persisted values of the bar under HKEY_LOCAL_MACHINE
// "Software\Orvo", with the rules that correct them on load.
#include <cstdint>
#include <string>

#include "platform/registry.h"
#include "platform/types.h"

namespace app {

inline constexpr const char* kSettingsKeyPath = "Software\\Orvo";
inline constexpr platform::RegistryRoot kSettingsRoot = platform::RegistryRoot::LocalMachine;

// The tenth value, after the nine: whether the bar holds its own strip of
// its monitor as an application desktop toolbar.
inline constexpr const char* kReserveScreenSpaceValue = "ReserveScreenSpace";

inline constexpr const char* kGreetingCaption = "New Velmoria User";
extern const char* const kGreetingText;

// A stored bar is this high; its height is not stored.
inline constexpr std::int32_t kStoredBarHeight = 18;
inline constexpr std::int32_t kSmallestStoredWidth = 100;
inline constexpr std::int32_t kSmallestStoredHeight = 16;
inline constexpr std::int16_t kSlowestSpeed = 1;
inline constexpr std::int16_t kFastestSpeed = 5;
// Stored coordinates are kept within this distance of the origin so the
// corrections above can never overflow; real screens are far smaller.
inline constexpr std::int32_t kCoordinateLimit = 0x00FFFFFF;
// A "Symbols" value larger than this is not read at all.
inline constexpr std::uint32_t kMaxSymbolsBytes = 1u << 20;

struct TickerSettings {
    platform::Rect rect;  // screen coordinates; all 0 when none is stored
    bool alwaysOnTop = true;
    bool snapping = true;
    std::uint32_t dataMask = 0x10000101;
    std::uint32_t updateInterval = 300000;
    std::int16_t speed = 1;
    std::string symbols;
    // Kept out of the registry until it is first switched on, so a user who
    // never does finds the nine values alone.
    bool reserveScreenSpace = false;
    bool reserveScreenSpaceStored = false;  // the value exists
};

enum class SettingsSource { Stored, FirstRun };

// Reads the stored values over `settings` (which holds the defaults) and
// corrects speed, width and height. A missing or mistyped value leaves its
// field alone. FirstRun when the key does not exist; nothing changes then.
SettingsSource ReadTickerSettings(platform::Registry& registry, TickerSettings& settings);

// Writes all nine values, and "ReserveScreenSpace" once it is on or was
// stored; failures are not reported.
void WriteTickerSettings(platform::Registry& registry, const TickerSettings& settings);

}  // namespace app
