#pragma once
// The bar's right-click menu as a tree of entries, built from the settings
// at the moment of the press. Makes no platform call.
#include <cstdint>
#include <string>

#include "platform/menu.h"

namespace ticker {

// The partner marker of the default build: with it, no "Powered by" item.
inline constexpr const char* kOwnBrandingId = "!VELMORIA!";

// The settings the check marks show.
struct MenuSettings {
    std::int16_t speed = 1;
    std::uint32_t updateInterval = 0;
    std::uint32_t dataMask = 0;
    bool alwaysOnTop = false;
    bool snapping = false;
    bool reserveScreenSpace = false;
};

// `homeSiteName` fills the first item's label; `brandingId` decides the
// "Powered by" item.
platform::MenuTree BuildContextMenu(const MenuSettings& settings, const std::string& homeSiteName,
                                    const std::string& brandingId);

}  // namespace ticker
