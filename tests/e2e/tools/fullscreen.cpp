// fullscreen: a program in full screen, for the end-to-end bench. Shows a
// caption-less window titled "FULL SCREEN" over the whole primary monitor,
// takes the foreground and stays until the window is closed.
#include <windows.h>

#include "test_window.h"

namespace {

constexpr char kClassName[] = "VelmoriaTestFullScreen";
constexpr char kTitle[] = "FULL SCREEN";

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return e2e::QuitOnDestroy(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    if (!e2e::RegisterWindowClass(instance, kClassName, WindowProc, BLACK_BRUSH)) return 1;

    const HMONITOR monitor = MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoA(monitor, &info)) return 1;
    const RECT& whole = info.rcMonitor;
    HWND window = CreateWindowExA(0, kClassName, kTitle, WS_POPUP | WS_VISIBLE, whole.left, whole.top,
                                  whole.right - whole.left, whole.bottom - whole.top, nullptr, nullptr, instance,
                                  nullptr);
    if (!window) return 1;
    SetForegroundWindow(window);
    return e2e::RunUntilClosed();
}
