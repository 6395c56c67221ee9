#include "service/windows/stop_window.h"

#include <chrono>

#include "service/windows/instance_names.h"

namespace service {

namespace {

// Posted by the owner once the service has stopped: the window goes.
constexpr UINT kEndWindowMessage = WM_APP + 1;
// How long the end of the session waits for the service to stop.
constexpr std::chrono::seconds kEndSessionPatience{10};
const wchar_t* const kWindowTitle = L"Velmoria Quote Gateway";

// This process's own window, for the console's handler, which is given no
// context of its own.
HWND OwnWindow() {
    for (HWND window = ::FindWindowExW(nullptr, nullptr, kServiceWindowClass, nullptr); window != nullptr;
         window = ::FindWindowExW(nullptr, window, kServiceWindowClass, nullptr)) {
        DWORD process = 0;
        ::GetWindowThreadProcessId(window, &process);
        if (process == ::GetCurrentProcessId()) return window;
    }
    return nullptr;
}

// Ctrl+C, Ctrl+Break or a closed console, when started from one: the same
// as WM_CLOSE.
BOOL WINAPI ConsoleStop(DWORD) {
    const HWND window = OwnWindow();
    if (window != nullptr) ::PostMessageW(window, WM_CLOSE, 0, 0);
    return TRUE;
}

}  // namespace

StopWindow::StopWindow(HttpService& service) : service_(service) {
    thread_ = std::thread([this] { RunWindow(); });
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return windowReady_; });
    ::SetConsoleCtrlHandler(ConsoleStop, TRUE);
}

StopWindow::~StopWindow() {
    ::SetConsoleCtrlHandler(ConsoleStop, FALSE);
    HWND window = nullptr;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        serviceEnded_ = true;
        window = window_;
    }
    changed_.notify_all();
    if (window != nullptr) ::PostMessageW(window, kEndWindowMessage, 0, 0);
    thread_.join();
}

void StopWindow::RunWindow() {
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = Procedure;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kServiceWindowClass;
    const ATOM registered = ::RegisterClassExW(&windowClass);
    // Top-level (not message-only) and never shown: message-only windows
    // get no end of the session and cannot be found by their class.
    const HWND window = registered == 0 ? nullptr
                                        : ::CreateWindowExW(0, kServiceWindowClass, kWindowTitle, WS_OVERLAPPED, 0, 0,
                                                            0, 0, nullptr, nullptr, instance, this);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        window_ = window;
        windowReady_ = true;
    }
    changed_.notify_all();
    if (window != nullptr) {
        MSG message;
        while (::GetMessageW(&message, nullptr, 0, 0) > 0) ::DispatchMessageW(&message);
    }
    if (registered != 0) ::UnregisterClassW(kServiceWindowClass, instance);
}

void StopWindow::StopService(bool wait) {
    service_.Stop();
    if (!wait) return;
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait_for(lock, kEndSessionPatience, [this] { return serviceEnded_; });
}

LRESULT CALLBACK StopWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* creation = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(creation->lpCreateParams));
    }
    auto* self = reinterpret_cast<StopWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (message) {
    case WM_CLOSE:
        // The window stays until the service has stopped, so that whoever
        // waits for it to go waits for the port to be free.
        if (self != nullptr) self->StopService(false);
        return 0;
    case WM_QUERYENDSESSION: return TRUE;
    case WM_ENDSESSION:
        if (wParam != FALSE && self != nullptr) self->StopService(true);
        return 0;
    case kEndWindowMessage: ::DestroyWindow(window); return 0;
    case WM_DESTROY: ::PostQuitMessage(0); return 0;
    default: return ::DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace service
