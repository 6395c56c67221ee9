#pragma once
// The one window a small bench program shows: its class, and the message
// loop that runs until the window is closed.
#include <windows.h>

namespace e2e {

inline bool RegisterWindowClass(HINSTANCE instance, const char* name, WNDPROC procedure, int stockBrush) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(stockBrush));
    windowClass.lpszClassName = name;
    return RegisterClassA(&windowClass) != 0;
}

// Ends the loop of RunUntilClosed when the window goes.
inline LRESULT QuitOnDestroy(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

inline int RunUntilClosed() {
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}

}  // namespace e2e
