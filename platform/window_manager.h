#pragma once
// The window manager as the logic sees it: one virtual per Win32 call it
// makes, named after that call, taking the same arguments in neutral types.
#include <cstdint>

#include "platform/types.h"

namespace platform {

// MSG in neutral types.
struct QueuedMessage {
    WindowHandle window = nullptr;
    std::uint32_t message = 0;
    MessageParam wParam = 0;
    LongParam lParam = 0;
    std::uint32_t time = 0;
    Point point;
};

// MONITORINFO in neutral types: the monitor's whole area and its work area
// (without the task bar and docked bars), in screen coordinates.
struct MonitorInfo {
    Rect monitor;
    Rect work;
    bool primary = false;
};

class WindowManager {
public:
    virtual ~WindowManager() = default;

    // Windows and titles.
    virtual std::int32_t EnumWindows(EnumWindowsProc proc, LongParam param) = 0;
    virtual int GetWindowTextLength(WindowHandle window) = 0;
    virtual int GetWindowText(WindowHandle window, char* buffer, int capacity) = 0;
    virtual bool SetWindowText(WindowHandle window, const char* text) = 0;
    virtual WindowHandle GetActiveWindow() = 0;
    virtual WindowHandle GetParent(WindowHandle window) = 0;
    virtual WindowHandle GetDlgItem(WindowHandle dialog, int id) = 0;

    // Modal dialogs.
    virtual ProcResult DialogBoxParam(InstanceHandle instance, int templateId, WindowHandle owner,
                                      DialogProc proc, LongParam param) = 0;
    virtual std::intptr_t SetWindowLong(WindowHandle window, int index, std::intptr_t value) = 0;
    virtual std::intptr_t GetWindowLong(WindowHandle window, int index) = 0;
    virtual bool EndDialog(WindowHandle dialog, ProcResult result) = 0;
    virtual void PostQuitMessage(int exitCode) = 0;
    virtual ProcResult DefWindowProc(WindowHandle window, std::uint32_t message, MessageParam wParam,
                                     LongParam lParam) = 0;
    virtual int MessageBox(WindowHandle owner, const char* text, const char* caption, std::uint32_t style) = 0;

    // Placement.
    virtual bool GetWindowRect(WindowHandle window, Rect& rect) = 0;
    virtual bool GetClientRect(WindowHandle window, Rect& rect) = 0;
    virtual bool ClientToScreen(WindowHandle window, Point& point) = 0;
    virtual bool MoveWindow(WindowHandle window, int x, int y, int width, int height, bool repaint) = 0;
    virtual bool SetWindowPos(WindowHandle window, std::intptr_t insertAfter, int x, int y, int cx, int cy,
                              std::uint32_t flags) = 0;
    virtual int GetSystemMetrics(int index) = 0;
    virtual bool GetWorkArea(Rect& area) = 0;  // SystemParametersInfoA(SPI_GETWORKAREA)

    // Monitors and their scaling. Positions are in physical pixels (the
    // program declares itself aware of each monitor's DPI).
    // MonitorFromRect: the monitor that shows most of the rectangle, else
    // the nearest one (MONITOR_DEFAULTTONEAREST).
    virtual MonitorHandle MonitorFromRect(const Rect& rect) = 0;
    virtual MonitorHandle PrimaryMonitor() = 0;  // the one whose origin is 0, 0
    virtual bool GetMonitorInfo(MonitorHandle monitor, MonitorInfo& info) = 0;
    // The monitor's effective DPI; the system DPI where the system knows
    // no per-monitor scaling.
    virtual std::uint32_t GetDpiForMonitor(MonitorHandle monitor) = 0;

    // Timers and repainting. SetTimer and KillTimer act only on a window of
    // the calling thread; InvalidateRect may be called from any thread.
    virtual std::uintptr_t SetTimer(WindowHandle window, std::uintptr_t id, std::uint32_t elapseMs) = 0;
    virtual bool KillTimer(WindowHandle window, std::uintptr_t id) = 0;
    virtual bool InvalidateRect(WindowHandle window, const Rect* rect, bool erase) = 0;

    // Popup menus. AppendMenu takes an item's command identifier, or for
    // MF_POPUP the submenu's handle. TrackPopupMenu has no exclusion
    // rectangle and returns when the menu closes; a chosen item arrives
    // afterwards as WM_COMMAND. DestroyMenu also destroys the submenus that
    // were appended to the menu.
    virtual MenuHandle CreatePopupMenu() = 0;
    virtual bool AppendMenu(MenuHandle menu, std::uint32_t flags, std::uintptr_t idOrSubmenu, const char* text) = 0;
    virtual bool TrackPopupMenu(MenuHandle menu, std::uint32_t flags, int x, int y, WindowHandle owner) = 0;
    virtual bool DestroyMenu(MenuHandle menu) = 0;

    // The mouse: capture and cursors. LoadCursor with no instance gives a
    // system cursor.
    virtual WindowHandle SetCapture(WindowHandle window) = 0;
    virtual bool ReleaseCapture() = 0;
    virtual CursorHandle LoadCursor(InstanceHandle instance, int cursorId) = 0;
    virtual CursorHandle SetCursor(CursorHandle cursor) = 0;

    // Puts a message in the queue of the window's thread; any thread may call it.
    virtual bool PostMessage(WindowHandle window, std::uint32_t message, MessageParam wParam, LongParam lParam) = 0;

    // The calling thread's message queue.
    virtual bool PeekMessage(QueuedMessage& message, std::uint32_t removeFlags) = 0;
    virtual void DispatchMessage(const QueuedMessage& message) = 0;
    // MsgWaitForMultipleObjects with no handles: returns when input arrives
    // or the timeout passes.
    virtual void WaitMessage(std::uint32_t timeoutMs) = 0;
};

}  // namespace platform
