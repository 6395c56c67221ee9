#pragma once
// The real platform: every call forwards to the Win32 function of the same
// name and decides nothing.
#include "platform/platform.h"
#include "platform/win32/internet_win32.h"

namespace platform::win32 {

class Win32Platform final : public WindowManager,
                            public Gdi,
                            public Registry,
                            public Threads,
                            public Shell,
                            public Desktop {
public:
    Platform AsPlatform() { return Platform{*this, *this, *this, *this, *this, internet_, *this}; }

    // WindowManager
    std::int32_t EnumWindows(EnumWindowsProc proc, LongParam param) override;
    int GetWindowTextLength(WindowHandle window) override;
    int GetWindowText(WindowHandle window, char* buffer, int capacity) override;
    bool SetWindowText(WindowHandle window, const char* text) override;
    WindowHandle GetActiveWindow() override;
    WindowHandle GetParent(WindowHandle window) override;
    WindowHandle GetDlgItem(WindowHandle dialog, int id) override;
    ProcResult DialogBoxParam(InstanceHandle instance, int templateId, WindowHandle owner, DialogProc proc,
                              LongParam param) override;
    std::intptr_t SetWindowLong(WindowHandle window, int index, std::intptr_t value) override;
    std::intptr_t GetWindowLong(WindowHandle window, int index) override;
    bool EndDialog(WindowHandle dialog, ProcResult result) override;
    void PostQuitMessage(int exitCode) override;
    ProcResult DefWindowProc(WindowHandle window, std::uint32_t message, MessageParam wParam,
                             LongParam lParam) override;
    int MessageBox(WindowHandle owner, const char* text, const char* caption, std::uint32_t style) override;
    bool GetWindowRect(WindowHandle window, Rect& rect) override;
    bool GetClientRect(WindowHandle window, Rect& rect) override;
    bool ClientToScreen(WindowHandle window, Point& point) override;
    bool MoveWindow(WindowHandle window, int x, int y, int width, int height, bool repaint) override;
    bool SetWindowPos(WindowHandle window, std::intptr_t insertAfter, int x, int y, int cx, int cy,
                      std::uint32_t flags) override;
    int GetSystemMetrics(int index) override;
    bool GetWorkArea(Rect& area) override;
    MonitorHandle MonitorFromRect(const Rect& rect) override;
    MonitorHandle PrimaryMonitor() override;
    bool GetMonitorInfo(MonitorHandle monitor, MonitorInfo& info) override;
    std::uint32_t GetDpiForMonitor(MonitorHandle monitor) override;
    std::uintptr_t SetTimer(WindowHandle window, std::uintptr_t id, std::uint32_t elapseMs) override;
    bool KillTimer(WindowHandle window, std::uintptr_t id) override;
    bool InvalidateRect(WindowHandle window, const Rect* rect, bool erase) override;
    MenuHandle CreatePopupMenu() override;
    bool AppendMenu(MenuHandle menu, std::uint32_t flags, std::uintptr_t idOrSubmenu, const char* text) override;
    bool TrackPopupMenu(MenuHandle menu, std::uint32_t flags, int x, int y, WindowHandle owner) override;
    bool DestroyMenu(MenuHandle menu) override;
    WindowHandle SetCapture(WindowHandle window) override;
    bool ReleaseCapture() override;
    CursorHandle LoadCursor(InstanceHandle instance, int cursorId) override;
    CursorHandle SetCursor(CursorHandle cursor) override;
    bool PostMessage(WindowHandle window, std::uint32_t message, MessageParam wParam, LongParam lParam) override;
    bool PeekMessage(QueuedMessage& message, std::uint32_t removeFlags) override;
    void DispatchMessage(const QueuedMessage& message) override;
    void WaitMessage(std::uint32_t timeoutMs) override;

    // Gdi
    DcHandle GetDC(WindowHandle window) override;
    int ReleaseDC(WindowHandle window, DcHandle dc) override;
    DcHandle CreateCompatibleDC(DcHandle dc) override;
    bool DeleteDC(DcHandle dc) override;
    GdiObject LoadImage(InstanceHandle instance, int resourceId, std::uint32_t type, int cx, int cy,
                        std::uint32_t flags) override;
    GdiObject SelectObject(DcHandle dc, GdiObject object) override;
    bool DeleteObject(GdiObject object) override;
    int SetBkMode(DcHandle dc, int mode) override;
    ColorRef SetBkColor(DcHandle dc, ColorRef color) override;
    ColorRef GetSysColor(int index) override;
    GdiObject CreateSolidBrush(ColorRef color) override;
    GdiObject CreatePen(int style, int width, ColorRef color) override;
    bool FillRect(DcHandle dc, const Rect& rect, GdiObject brush) override;
    bool BitBlt(DcHandle dest, int x, int y, int width, int height, DcHandle source, int sourceX, int sourceY,
                std::uint32_t rop) override;
    bool Rectangle(DcHandle dc, int left, int top, int right, int bottom) override;
    bool MoveTo(DcHandle dc, int x, int y) override;
    bool LineTo(DcHandle dc, int x, int y) override;
    GdiObject CreateFontIndirect(const LogFont& font) override;
    int GetDeviceCaps(DcHandle dc, int index) override;
    bool DPtoLP(DcHandle dc, Point* points, int count) override;
    ColorRef SetTextColor(DcHandle dc, ColorRef color) override;
    bool TextOut(DcHandle dc, int x, int y, const char* text, int length) override;
    int GetTextExtentPoint32(DcHandle dc, const char* text, int length, Size& size) override;
    bool GetTextMetrics(DcHandle dc, TextMetrics& metrics) override;
    bool Flush() override;

    // Registry
    long OpenKey(RegistryRoot root, const char* path, RegKeyHandle& key) override;
    long CreateKey(RegistryRoot root, const char* path, RegKeyHandle& key) override;
    long QueryValue(RegKeyHandle key, const char* name, std::uint32_t* type, std::uint8_t* data,
                    std::uint32_t* size) override;
    long SetValue(RegKeyHandle key, const char* name, std::uint32_t type, const std::uint8_t* data,
                  std::uint32_t size) override;
    long CloseKey(RegKeyHandle key) override;

    // Threads
    std::uint32_t GetCurrentThreadId() override;
    bool StartThread(int priority, ThreadEntry entry, void* argument) override;
    void Sleep(std::uint32_t milliseconds) override;

    // Shell
    std::intptr_t ShellExecute(WindowHandle owner, const char* verb, const char* file, const char* parameters,
                               const char* directory, int show) override;

    // Desktop
    WindowHandle GetForegroundWindow() override;
    WindowHandle GetDesktopWindow() override;
    WindowHandle GetShellWindow() override;
    std::uint32_t GetWindowStyle(WindowHandle window) override;
    bool RegisterSessionNotification(WindowHandle window) override;
    bool UnregisterSessionNotification(WindowHandle window) override;
    NotificationHandle RegisterDisplayStateNotification(WindowHandle window) override;
    bool UnregisterPowerSettingNotification(NotificationHandle notification) override;
    NetworkWatchHandle RegisterNetworkChangeNotification(WindowHandle window, std::uint32_t message) override;
    bool UnregisterNetworkChangeNotification(NetworkWatchHandle watch) override;
    std::uintptr_t AppBarMessage(std::uint32_t message, AppBarData& data) override;
    std::uint32_t RegisterWindowMessage(const char* name) override;

private:
    Win32Internet internet_;
};

}  // namespace platform::win32
