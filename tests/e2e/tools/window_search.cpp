#include "window_search.h"

namespace e2e {
namespace {

constexpr int kTitleCapacity = 4096;
constexpr UINT kReplyTimeoutMs = 2000;

BOOL CALLBACK CollectWindow(HWND window, LPARAM found) {
    reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
    return TRUE;
}

}  // namespace

std::string WindowTitle(HWND window) {
    std::wstring wide(kTitleCapacity, L'\0');
    const int length = InternalGetWindowText(window, &wide[0], kTitleCapacity);
    if (length <= 0) return std::string();
    const int size = WideCharToMultiByte(CP_ACP, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
    std::string title(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), length, &title[0], size, nullptr, nullptr);
    return title;
}

std::string ControlText(HWND control) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(control, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kReplyTimeoutMs,
                             &length)) {
        return WindowTitle(control);
    }
    std::string text(static_cast<size_t>(length) + 1, '\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutA(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]),
                             SMTO_ABORTIFHUNG, kReplyTimeoutMs, &copied)) {
        return WindowTitle(control);
    }
    text.resize(copied <= length ? static_cast<size_t>(copied) : static_cast<size_t>(length));
    return text;
}

std::string WindowClass(HWND window) {
    char name[256] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::vector<HWND> AllTopLevelWindows() {
    std::vector<HWND> windows;
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

std::vector<HWND> TopLevelWindowsTitled(const std::string& title) {
    std::vector<HWND> matching;
    for (HWND window : AllTopLevelWindows()) {
        if (WindowTitle(window) == title) matching.push_back(window);
    }
    return matching;
}

std::vector<HWND> ChildWindows(HWND parent) {
    std::vector<HWND> children;
    EnumChildWindows(parent, CollectWindow, reinterpret_cast<LPARAM>(&children));
    return children;
}

}  // namespace e2e
