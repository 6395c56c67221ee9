#pragma once
// A platform whose every call does nothing and succeeds, so a benchmark of
// the bar counts the logic's own work and not the recording fake's. Text is
// measured at a fixed width per character.
#include "platform/constants.h"
#include "platform/platform.h"

namespace bench {

class NullPlatform final : public platform::WindowManager,
                           public platform::Gdi,
                           public platform::Registry,
                           public platform::Threads,
                           public platform::Shell,
                           public platform::Desktop {
public:
    static constexpr int kCharacterWidth = 7;
    static constexpr int kTextHeight = 16;

    // WindowManager
    std::int32_t EnumWindows(platform::EnumWindowsProc, platform::LongParam) override { return 1; }
    int GetWindowTextLength(platform::WindowHandle) override { return 0; }
    int GetWindowText(platform::WindowHandle, char*, int) override { return 0; }
    bool SetWindowText(platform::WindowHandle, const char*) override { return true; }
    platform::WindowHandle GetActiveWindow() override { return nullptr; }
    platform::WindowHandle GetParent(platform::WindowHandle) override { return nullptr; }
    platform::WindowHandle GetDlgItem(platform::WindowHandle, int) override { return nullptr; }
    platform::ProcResult DialogBoxParam(platform::InstanceHandle, int, platform::WindowHandle, platform::DialogProc,
                                        platform::LongParam) override {
        return 0;
    }
    std::intptr_t SetWindowLong(platform::WindowHandle, int, std::intptr_t) override { return 0; }
    std::intptr_t GetWindowLong(platform::WindowHandle, int) override { return 0; }
    bool EndDialog(platform::WindowHandle, platform::ProcResult) override { return true; }
    void PostQuitMessage(int) override {}
    platform::ProcResult DefWindowProc(platform::WindowHandle, std::uint32_t, platform::MessageParam,
                                       platform::LongParam) override {
        return 0;
    }
    int MessageBox(platform::WindowHandle, const char*, const char*, std::uint32_t) override { return 1; }
    bool GetWindowRect(platform::WindowHandle, platform::Rect& rect) override {
        rect = client;
        return true;
    }
    bool GetClientRect(platform::WindowHandle, platform::Rect& rect) override {
        rect = client;
        return true;
    }
    bool ClientToScreen(platform::WindowHandle, platform::Point&) override { return true; }
    bool MoveWindow(platform::WindowHandle, int, int, int, int, bool) override { return true; }
    bool SetWindowPos(platform::WindowHandle, std::intptr_t, int, int, int, int, std::uint32_t) override { return true; }
    int GetSystemMetrics(int) override { return 1280; }
    bool GetWorkArea(platform::Rect& area) override {
        area = platform::Rect{0, 0, 1280, 1024};
        return true;
    }
    platform::MonitorHandle MonitorFromRect(const platform::Rect&) override { return Token<platform::MonitorHandle>(); }
    platform::MonitorHandle PrimaryMonitor() override { return Token<platform::MonitorHandle>(); }
    bool GetMonitorInfo(platform::MonitorHandle, platform::MonitorInfo& info) override {
        info = platform::MonitorInfo{platform::Rect{0, 0, 1280, 1024}, platform::Rect{0, 0, 1280, 1024}, true};
        return true;
    }
    std::uint32_t GetDpiForMonitor(platform::MonitorHandle) override { return platform::kBaseDpi; }
    std::uintptr_t SetTimer(platform::WindowHandle, std::uintptr_t id, std::uint32_t) override { return id; }
    bool KillTimer(platform::WindowHandle, std::uintptr_t) override { return true; }
    bool InvalidateRect(platform::WindowHandle, const platform::Rect*, bool) override { return true; }
    platform::MenuHandle CreatePopupMenu() override { return Token<platform::MenuHandle>(); }
    bool AppendMenu(platform::MenuHandle, std::uint32_t, std::uintptr_t, const char*) override { return true; }
    bool TrackPopupMenu(platform::MenuHandle, std::uint32_t, int, int, platform::WindowHandle) override { return true; }
    bool DestroyMenu(platform::MenuHandle) override { return true; }
    platform::WindowHandle SetCapture(platform::WindowHandle) override { return nullptr; }
    bool ReleaseCapture() override { return true; }
    platform::CursorHandle LoadCursor(platform::InstanceHandle, int) override { return Token<platform::CursorHandle>(); }
    platform::CursorHandle SetCursor(platform::CursorHandle) override { return nullptr; }
    bool PostMessage(platform::WindowHandle, std::uint32_t, platform::MessageParam, platform::LongParam) override {
        return true;
    }
    bool PeekMessage(platform::QueuedMessage&, std::uint32_t) override { return false; }
    void DispatchMessage(const platform::QueuedMessage&) override {}
    void WaitMessage(std::uint32_t) override {}

    // Gdi
    platform::DcHandle GetDC(platform::WindowHandle) override { return Token<platform::DcHandle>(); }
    int ReleaseDC(platform::WindowHandle, platform::DcHandle) override { return 1; }
    platform::DcHandle CreateCompatibleDC(platform::DcHandle) override { return Token<platform::DcHandle>(); }
    bool DeleteDC(platform::DcHandle) override { return true; }
    platform::GdiObject LoadImage(platform::InstanceHandle, int, std::uint32_t, int, int, std::uint32_t) override {
        return Token<platform::GdiObject>();
    }
    platform::GdiObject SelectObject(platform::DcHandle, platform::GdiObject) override {
        return Token<platform::GdiObject>();
    }
    bool DeleteObject(platform::GdiObject) override { return true; }
    int SetBkMode(platform::DcHandle, int) override { return 0; }
    platform::ColorRef SetBkColor(platform::DcHandle, platform::ColorRef) override { return 0; }
    platform::ColorRef GetSysColor(int) override { return 0xF0F0F0; }
    platform::GdiObject CreateSolidBrush(platform::ColorRef) override { return Token<platform::GdiObject>(); }
    platform::GdiObject CreatePen(int, int, platform::ColorRef) override { return Token<platform::GdiObject>(); }
    bool FillRect(platform::DcHandle, const platform::Rect&, platform::GdiObject) override { return true; }
    bool BitBlt(platform::DcHandle, int, int, int, int, platform::DcHandle, int, int, std::uint32_t) override {
        return true;
    }
    bool Rectangle(platform::DcHandle, int, int, int, int) override { return true; }
    bool MoveTo(platform::DcHandle, int, int) override { return true; }
    bool LineTo(platform::DcHandle, int, int) override { return true; }
    platform::GdiObject CreateFontIndirect(const platform::LogFont&) override { return Token<platform::GdiObject>(); }
    int GetDeviceCaps(platform::DcHandle, int) override { return 96; }
    bool DPtoLP(platform::DcHandle, platform::Point*, int) override { return true; }
    platform::ColorRef SetTextColor(platform::DcHandle, platform::ColorRef) override { return 0; }
    bool TextOut(platform::DcHandle, int, int, const char*, int) override { return true; }
    int GetTextExtentPoint32(platform::DcHandle, const char*, int length, platform::Size& size) override {
        size = platform::Size{kCharacterWidth * length, kTextHeight};
        return 1;
    }
    bool GetTextMetrics(platform::DcHandle, platform::TextMetrics& metrics) override {
        metrics = platform::TextMetrics{kTextHeight, kCharacterWidth};
        return true;
    }

    bool Flush() override { return true; }

    // Registry: nothing stored.
    long OpenKey(platform::RegistryRoot, const char*, platform::RegKeyHandle&) override { return 2; }
    long CreateKey(platform::RegistryRoot, const char*, platform::RegKeyHandle&) override { return 2; }
    long QueryValue(platform::RegKeyHandle, const char*, std::uint32_t*, std::uint8_t*, std::uint32_t*) override {
        return 2;
    }
    long SetValue(platform::RegKeyHandle, const char*, std::uint32_t, const std::uint8_t*, std::uint32_t) override {
        return 2;
    }
    long CloseKey(platform::RegKeyHandle) override { return 0; }

    // Threads: only the caller's.
    std::uint32_t GetCurrentThreadId() override { return 1; }
    bool StartThread(int, platform::ThreadEntry, void*) override { return false; }
    void Sleep(std::uint32_t) override {}

    // Shell
    std::intptr_t ShellExecute(platform::WindowHandle, const char*, const char*, const char*, const char*,
                               int) override {
        return 33;
    }

    // Desktop
    platform::WindowHandle GetForegroundWindow() override { return nullptr; }
    platform::WindowHandle GetDesktopWindow() override { return nullptr; }
    platform::WindowHandle GetShellWindow() override { return nullptr; }
    std::uint32_t GetWindowStyle(platform::WindowHandle) override { return 0; }
    bool RegisterSessionNotification(platform::WindowHandle) override { return true; }
    bool UnregisterSessionNotification(platform::WindowHandle) override { return true; }
    platform::NotificationHandle RegisterDisplayStateNotification(platform::WindowHandle) override {
        return Token<platform::NotificationHandle>();
    }
    bool UnregisterPowerSettingNotification(platform::NotificationHandle) override { return true; }
    platform::NetworkWatchHandle RegisterNetworkChangeNotification(platform::WindowHandle, std::uint32_t) override {
        return nullptr;
    }
    bool UnregisterNetworkChangeNotification(platform::NetworkWatchHandle) override { return true; }
    std::uintptr_t AppBarMessage(std::uint32_t, platform::AppBarData&) override { return 1; }
    std::uint32_t RegisterWindowMessage(const char*) override { return 0xC000; }

    platform::Rect client{0, 0, 1280, 18};

private:
    template <class Handle>
    static Handle Token() {
        return reinterpret_cast<Handle>(std::uintptr_t{1});
    }
};

}  // namespace bench
