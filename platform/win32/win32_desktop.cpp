// The desktop around the bar: forwards to the Win32 calls of the same names.
#include "platform/win32/win32_platform.h"

#include "platform/win32/win32_api.h"
// After windows.h, which they need.
#include <winsock2.h>
#include <ws2ipdef.h>
#include <iphlpapi.h>
#include <wtsapi32.h>

#include <cstddef>
#include <cstring>
#include <new>

#include "platform/constants.h"
#include "platform/desktop.h"

namespace platform::win32 {

static_assert(kWmWtsSessionChange == WM_WTSSESSION_CHANGE && kWmPowerBroadcast == WM_POWERBROADCAST);
static_assert(kWtsConsoleConnect == WTS_CONSOLE_CONNECT && kWtsConsoleDisconnect == WTS_CONSOLE_DISCONNECT &&
              kWtsRemoteConnect == WTS_REMOTE_CONNECT && kWtsRemoteDisconnect == WTS_REMOTE_DISCONNECT &&
              kWtsSessionLock == WTS_SESSION_LOCK && kWtsSessionUnlock == WTS_SESSION_UNLOCK);
static_assert(kPbtApmResumeAutomatic == PBT_APMRESUMEAUTOMATIC && kPbtPowerSettingChange == PBT_POWERSETTINGCHANGE);
static_assert(kWsCaption == WS_CAPTION && kSwpNoActivate == SWP_NOACTIVATE);
static_assert(sizeof(PowerSettingChange) == sizeof(POWERBROADCAST_SETTING) &&
              offsetof(PowerSettingChange, dataLength) == offsetof(POWERBROADCAST_SETTING, DataLength) &&
              offsetof(PowerSettingChange, data) == offsetof(POWERBROADCAST_SETTING, Data));

namespace {

HWND Hwnd(WindowHandle window) { return reinterpret_cast<HWND>(window); }
WindowHandle Handle(HWND window) { return reinterpret_cast<WindowHandle>(window); }

GUID ConsoleDisplayState() {
    GUID guid;
    static_assert(sizeof guid == sizeof kGuidConsoleDisplayState);
    std::memcpy(&guid, kGuidConsoleDisplayState, sizeof guid);
    return guid;
}

}  // namespace

WindowHandle Win32Platform::GetForegroundWindow() { return Handle(::GetForegroundWindow()); }

WindowHandle Win32Platform::GetDesktopWindow() { return Handle(::GetDesktopWindow()); }

WindowHandle Win32Platform::GetShellWindow() { return Handle(::GetShellWindow()); }

std::uint32_t Win32Platform::GetWindowStyle(WindowHandle window) {
    return static_cast<std::uint32_t>(::GetWindowLongA(Hwnd(window), GWL_STYLE));
}

bool Win32Platform::RegisterSessionNotification(WindowHandle window) {
    return ::WTSRegisterSessionNotification(Hwnd(window), NOTIFY_FOR_THIS_SESSION) != FALSE;
}

bool Win32Platform::UnregisterSessionNotification(WindowHandle window) {
    return ::WTSUnRegisterSessionNotification(Hwnd(window)) != FALSE;
}

NotificationHandle Win32Platform::RegisterDisplayStateNotification(WindowHandle window) {
    const GUID setting = ConsoleDisplayState();
    return reinterpret_cast<NotificationHandle>(
        ::RegisterPowerSettingNotification(Hwnd(window), &setting, DEVICE_NOTIFY_WINDOW_HANDLE));
}

bool Win32Platform::UnregisterPowerSettingNotification(NotificationHandle notification) {
    return ::UnregisterPowerSettingNotification(reinterpret_cast<HPOWERNOTIFY>(notification)) != FALSE;
}

namespace {

// What the system's thread needs to post the notice; lives until the
// notification is cancelled.
struct NetworkWatch {
    HWND window;
    UINT message;
    HANDLE notification;
};

void WINAPI PostNetworkChange(PVOID context, PMIB_IPINTERFACE_ROW, MIB_NOTIFICATION_TYPE) {
    const NetworkWatch* watch = static_cast<const NetworkWatch*>(context);
    ::PostMessageA(watch->window, watch->message, 0, 0);
}

}  // namespace

NetworkWatchHandle Win32Platform::RegisterNetworkChangeNotification(WindowHandle window, std::uint32_t message) {
    NetworkWatch* watch = new (std::nothrow) NetworkWatch{Hwnd(window), message, nullptr};
    if (watch == nullptr) return nullptr;
    if (::NotifyIpInterfaceChange(AF_UNSPEC, PostNetworkChange, watch, FALSE, &watch->notification) != NO_ERROR) {
        delete watch;
        return nullptr;
    }
    return reinterpret_cast<NetworkWatchHandle>(watch);
}

bool Win32Platform::UnregisterNetworkChangeNotification(NetworkWatchHandle handle) {
    NetworkWatch* watch = reinterpret_cast<NetworkWatch*>(handle);
    // Returns once no callback runs any more, so the watch can go.
    const bool cancelled = ::CancelMibChangeNotify2(watch->notification) == NO_ERROR;
    if (cancelled) delete watch;
    return cancelled;
}

}  // namespace platform::win32

namespace platform::win32 {

static_assert(kAbmNew == ABM_NEW && kAbmRemove == ABM_REMOVE && kAbmQueryPos == ABM_QUERYPOS &&
              kAbmSetPos == ABM_SETPOS && kAbmWindowPosChanged == ABM_WINDOWPOSCHANGED);
static_assert(kAbeTop == ABE_TOP && kAbeBottom == ABE_BOTTOM && kAbnPosChanged == ABN_POSCHANGED);

std::uintptr_t Win32Platform::AppBarMessage(std::uint32_t message, AppBarData& data) {
    APPBARDATA native{};
    native.cbSize = sizeof native;
    native.hWnd = reinterpret_cast<HWND>(data.window);
    native.uCallbackMessage = data.callbackMessage;
    native.uEdge = data.edge;
    native.rc = RECT{data.rect.left, data.rect.top, data.rect.right, data.rect.bottom};
    native.lParam = data.lParam;
    const UINT_PTR result = ::SHAppBarMessage(message, &native);
    data.edge = native.uEdge;
    data.rect = Rect{native.rc.left, native.rc.top, native.rc.right, native.rc.bottom};
    return result;
}

std::uint32_t Win32Platform::RegisterWindowMessage(const char* name) { return ::RegisterWindowMessageA(name); }

}  // namespace platform::win32
