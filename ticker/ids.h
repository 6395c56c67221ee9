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
inline constexpr std::uint16_t kSpeedSlow = 33007;
inline constexpr std::uint16_t kSpeedMedium = 33008;
inline constexpr std::uint16_t kSpeedFast = 33009;
inline constexpr std::uint16_t kUpdateOff = 33010;
inline constexpr std::uint16_t kUpdate2Minutes = 33011;
inline constexpr std::uint16_t kUpdate5Minutes = 33012;
inline constexpr std::uint16_t kUpdate10Minutes = 33013;
inline constexpr std::uint16_t kUpdate30Minutes = 33014;
inline constexpr std::uint16_t kUpdateNow = 33015;
inline constexpr std::uint16_t kCurrentPrice = 33016;
inline constexpr std::uint16_t kTime = 33017;
inline constexpr std::uint16_t kDaysChange = 33018;
inline constexpr std::uint16_t kDaysPercentChange = 33019;
inline constexpr std::uint16_t kLastDaysClose = 33020;
inline constexpr std::uint16_t kDaysHigh = 33021;
inline constexpr std::uint16_t kDaysLow = 33022;
inline constexpr std::uint16_t kDaysVolume = 33023;
inline constexpr std::uint16_t kShowFractions = 33024;
inline constexpr std::uint16_t kSelectAll = 33025;
inline constexpr std::uint16_t kResetDefault = 33026;
inline constexpr std::uint16_t kAlwaysOnTop = 33027;
inline constexpr std::uint16_t kAddRemoveSymbols = 33028;
inline constexpr std::uint16_t kSnapping = 33030;
inline constexpr std::uint16_t kOpeningPrice = 33031;
inline constexpr std::uint16_t kSendToFriend = 33032;
inline constexpr std::uint16_t kReserveScreenSpace = 33033;
}  // namespace command

}  // namespace ticker
