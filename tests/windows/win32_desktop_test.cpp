// The notices of the desktop around the bar, as the system gives them.
#include <gtest/gtest.h>

#include <windows.h>

#include "platform/win32/win32_platform.h"

namespace {

constexpr UINT kNetworkNotice = WM_APP + 3;

// A window that only takes messages: what the notices are posted to.
class MessageWindow {
public:
    MessageWindow() : hwnd_(::CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr)) {}
    ~MessageWindow() {
        if (hwnd_ != nullptr) ::DestroyWindow(hwnd_);
    }
    MessageWindow(const MessageWindow&) = delete;
    MessageWindow& operator=(const MessageWindow&) = delete;
    platform::WindowHandle handle() const { return reinterpret_cast<platform::WindowHandle>(hwnd_); }

private:
    HWND hwnd_;
};

TEST(Win32Desktop, ANetworkWatchIsTakenAndGivenBackAndPostsNothingAfterwards) {
    platform::win32::Win32Platform win32;
    MessageWindow window;
    ASSERT_NE(window.handle(), nullptr);
    for (int round = 0; round < 3; ++round) {
        const platform::NetworkWatchHandle watch = win32.RegisterNetworkChangeNotification(window.handle(), kNetworkNotice);
        ASSERT_NE(watch, nullptr) << "round " << round;
        EXPECT_TRUE(win32.UnregisterNetworkChangeNotification(watch)) << "round " << round;
    }
    // No change was asked for at the start, and none comes once cancelled.
    MSG message;
    EXPECT_FALSE(::PeekMessageA(&message, reinterpret_cast<HWND>(window.handle()), kNetworkNotice, kNetworkNotice,
                                PM_REMOVE));
}

}  // namespace
