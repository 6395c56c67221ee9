#pragma once
// Timer and command identifiers of the ticker window.
#include <cstdint>

namespace ticker {

inline constexpr std::uintptr_t SCROLL_TIMER = 33004;
inline constexpr std::uintptr_t UPDATE_TIMER = 33005;

namespace command {
inline constexpr std::uint16_t kVisitHomeSite = 33000;
inline constexpr std::uint16_t kHelp = 33001;
inline constexpr std::uint16_t kExit = 33002;
inline constexpr std::uint16_t kSpeedStop = 33006;
inline constexpr std::uint16_t kSpeedFast = 33009;
inline constexpr std::uint16_t kUpdateOff = 33010;
inline constexpr std::uint16_t kUpdateNow = 33015;
inline constexpr std::uint16_t kCurrentPrice = 33016;
inline constexpr std::uint16_t kResetDefault = 33026;
inline constexpr std::uint16_t kAlwaysOnTop = 33027;
inline constexpr std::uint16_t kAddRemoveSymbols = 33028;
inline constexpr std::uint16_t kSnapping = 33030;
inline constexpr std::uint16_t kOpeningPrice = 33031;
inline constexpr std::uint16_t kSendToFriend = 33032;
}  // namespace command

}  // namespace ticker
