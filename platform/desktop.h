#pragma once
// What the bar asks of the desktop around it: which window is in front, and
// the notices of the session being locked or switched away and of the
// screen going off. One virtual per Win32 call, named after it, taking the
// same arguments in neutral types.
#include <cstdint>

#include "platform/types.h"

namespace platform {

struct NotificationTag;
using NotificationHandle = NotificationTag*;  // HPOWERNOTIFY
struct NetworkWatchTag;
using NetworkWatchHandle = NetworkWatchTag*;

// WM_WTSSESSION_CHANGE and its wParam codes.
inline constexpr std::uint32_t kWmWtsSessionChange = 0x02B1;
inline constexpr MessageParam kWtsConsoleConnect = 0x1;
inline constexpr MessageParam kWtsConsoleDisconnect = 0x2;
inline constexpr MessageParam kWtsRemoteConnect = 0x3;
inline constexpr MessageParam kWtsRemoteDisconnect = 0x4;
inline constexpr MessageParam kWtsSessionLock = 0x7;
inline constexpr MessageParam kWtsSessionUnlock = 0x8;

// WM_POWERBROADCAST and the events the bar looks at.
inline constexpr std::uint32_t kWmPowerBroadcast = 0x0218;
inline constexpr MessageParam kPbtApmResumeAutomatic = 0x12;
inline constexpr MessageParam kPbtPowerSettingChange = 0x8013;

// POWERBROADCAST_SETTING, to which lParam points with
// kPbtPowerSettingChange: the setting's GUID as it lies in memory, then its
// data.
struct PowerSettingChange {
    std::uint8_t setting[16];
    std::uint32_t dataLength;
    std::uint8_t data[1];
};
// GUID_CONSOLE_DISPLAY_STATE {6FE69556-704A-47A0-8F24-C28D936FDA47}; its
// data is one DWORD: 0 off, 1 on, 2 dimmed.
inline constexpr std::uint8_t kGuidConsoleDisplayState[16] = {0x56, 0x95, 0xE6, 0x6F, 0x4A, 0x70, 0xA0, 0x47,
                                                              0x8F, 0x24, 0xC2, 0x8D, 0x93, 0x6F, 0xDA, 0x47};
inline constexpr std::uint32_t kDisplayOff = 0;

inline constexpr std::uint32_t kWsCaption = 0x00C00000;  // WS_BORDER | WS_DLGFRAME
inline constexpr std::uint32_t kSwpNoActivate = 0x0010;

// SHAppBarMessage: the messages, edges and notice the bar uses, and
// APPBARDATA in neutral types (the size field is the platform's business).
inline constexpr std::uint32_t kAbmNew = 0x0;
inline constexpr std::uint32_t kAbmRemove = 0x1;
inline constexpr std::uint32_t kAbmQueryPos = 0x2;
inline constexpr std::uint32_t kAbmSetPos = 0x3;
inline constexpr std::uint32_t kAbmWindowPosChanged = 0x9;
inline constexpr std::uint32_t kAbeTop = 1;
inline constexpr std::uint32_t kAbeBottom = 3;
inline constexpr MessageParam kAbnPosChanged = 0x1;
struct AppBarData {
    WindowHandle window = nullptr;
    std::uint32_t callbackMessage = 0;
    std::uint32_t edge = 0;
    Rect rect;
    LongParam lParam = 0;
};

class Desktop {
public:
    virtual ~Desktop() = default;

    // Windows in front.
    virtual WindowHandle GetForegroundWindow() = 0;
    virtual WindowHandle GetDesktopWindow() = 0;
    virtual WindowHandle GetShellWindow() = 0;
    // GetWindowLongA(GWL_STYLE), for a window of any process.
    virtual std::uint32_t GetWindowStyle(WindowHandle window) = 0;

    // WTSRegisterSessionNotification(NOTIFY_FOR_THIS_SESSION) and its undo.
    virtual bool RegisterSessionNotification(WindowHandle window) = 0;
    virtual bool UnregisterSessionNotification(WindowHandle window) = 0;
    // RegisterPowerSettingNotification(GUID_CONSOLE_DISPLAY_STATE) for a
    // window, and its undo; null when the system offers none.
    virtual NotificationHandle RegisterDisplayStateNotification(WindowHandle window) = 0;
    virtual bool UnregisterPowerSettingNotification(NotificationHandle notification) = 0;

    // NotifyIpInterfaceChange(AF_UNSPEC): every change of a network
    // interface posts `message` (no parameters) to `window`, from a thread of
    // the system's. nullptr where Windows does not tell. Undone by
    // CancelMibChangeNotify2, after which nothing more is posted.
    virtual NetworkWatchHandle RegisterNetworkChangeNotification(WindowHandle window, std::uint32_t message) = 0;
    virtual bool UnregisterNetworkChangeNotification(NetworkWatchHandle watch) = 0;

    // Application desktop toolbars: SHAppBarMessage, which may change
    // `data` (ABM_QUERYPOS, ABM_SETPOS); and RegisterWindowMessageA, for the
    // shell's "TaskbarCreated".
    virtual std::uintptr_t AppBarMessage(std::uint32_t message, AppBarData& data) = 0;
    virtual std::uint32_t RegisterWindowMessage(const char* name) = 0;
};

}  // namespace platform
