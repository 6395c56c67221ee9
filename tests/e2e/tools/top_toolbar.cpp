// top_toolbar: another application desktop toolbar, for the end-to-end
// bench. Shows a window titled "TOP TOOLBAR" as a toolbar holding the top
// 30 pixels of the primary monitor and stays until the window is closed,
// then gives the strip back.
#include <windows.h>
#include <shellapi.h>

#include "test_window.h"

namespace {

constexpr char kClassName[] = "VelmoriaTestTopToolbar";
constexpr char kTitle[] = "TOP TOOLBAR";
constexpr int kHeight = 30;
constexpr UINT kNotice = WM_APP + 1;

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        APPBARDATA data = {};
        data.cbSize = sizeof data;
        data.hWnd = window;
        SHAppBarMessage(ABM_REMOVE, &data);
    }
    return e2e::QuitOnDestroy(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    if (!e2e::RegisterWindowClass(instance, kClassName, WindowProc, GRAY_BRUSH)) return 1;

    const int width = GetSystemMetrics(SM_CXSCREEN);
    HWND window = CreateWindowExA(WS_EX_TOOLWINDOW, kClassName, kTitle, WS_POPUP | WS_VISIBLE, 0, 0, width, kHeight,
                                  nullptr, nullptr, instance, nullptr);
    if (!window) return 1;
    APPBARDATA data = {};
    data.cbSize = sizeof data;
    data.hWnd = window;
    data.uCallbackMessage = kNotice;
    if (!SHAppBarMessage(ABM_NEW, &data)) return 1;
    data.uEdge = ABE_TOP;
    data.rc = RECT{0, 0, width, kHeight};
    SHAppBarMessage(ABM_QUERYPOS, &data);
    data.rc.bottom = data.rc.top + kHeight;
    SHAppBarMessage(ABM_SETPOS, &data);
    return e2e::RunUntilClosed();
}
