// fullscreen: a program in full screen, for the end-to-end bench. Shows a
// caption-less window titled "FULL SCREEN" over the whole primary monitor,
// takes the foreground and stays until the window is closed.
#include <windows.h>

namespace {

constexpr char kClassName[] = "VelmoriaTestFullScreen";
constexpr char kTitle[] = "FULL SCREEN";

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = kClassName;
    if (!RegisterClassA(&windowClass)) return 1;

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

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
