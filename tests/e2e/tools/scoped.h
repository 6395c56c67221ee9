#pragma once
// Owners for the few Win32 handles the bench tools open.
#include <windows.h>

namespace e2e {

class ScopedFile {
public:
    explicit ScopedFile(HANDLE handle) : handle_(handle) {}
    ~ScopedFile() {
        if (valid()) CloseHandle(handle_);
    }
    ScopedFile(const ScopedFile&) = delete;
    ScopedFile& operator=(const ScopedFile&) = delete;
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_;
};

class ScopedWindow {
public:
    explicit ScopedWindow(HWND window) : window_(window) {}
    ~ScopedWindow() {
        if (window_) DestroyWindow(window_);
    }
    ScopedWindow(const ScopedWindow&) = delete;
    ScopedWindow& operator=(const ScopedWindow&) = delete;
    HWND get() const { return window_; }

private:
    HWND window_;
};

}  // namespace e2e
