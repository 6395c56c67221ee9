// A click on an item under the real shell: the address reaches the browser
// byte for byte, with what could break its command line escaped. Runs on the
// bench's prefix, whose http handler is a logger that writes its command
// line to the file named by VELMORIA_URLLOG_FILE.
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>

#include "platform/win32/win32_api.h"
#include "platform/win32/win32_platform.h"
#include "quotes/endpoints.h"
#include "quotes/quote_item.h"

namespace {

constexpr auto kBrowserWait = std::chrono::seconds(20);
constexpr const char* kQuoteSource = "http://127.0.0.1:1/d/quotes.csv?f=sl1t1c1ghpv";

bool HttpHandlerIsTheLogger() {
    char command[1024] = {};
    LONG size = sizeof command;
    if (::RegQueryValueA(HKEY_CLASSES_ROOT, "http\\shell\\open\\command", command, &size) != ERROR_SUCCESS) {
        return false;
    }
    return std::string(command).find("urllog") != std::string::npos;
}

std::string ReadWhole(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Waits until the logger has written a whole line.
std::string WaitForLoggedLine(const std::string& path) {
    const auto deadline = std::chrono::steady_clock::now() + kBrowserWait;
    while (std::chrono::steady_clock::now() < deadline) {
        const std::string text = ReadWhole(path);
        if (!text.empty() && text.back() == '\n') return text;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return ReadWhole(path);
}

class Win32Click : public ::testing::Test {
protected:
    void SetUp() override {
        if (!HttpHandlerIsTheLogger()) GTEST_SKIP() << "the prefix's http handler is not the bench's logger";
        char directory[MAX_PATH] = {};
        ::GetTempPathA(MAX_PATH, directory);
        logPath = std::string(directory) + "velmoria-click-test.txt";
        ::DeleteFileA(logPath.c_str());
        ::SetEnvironmentVariableA("VELMORIA_URLLOG_FILE", logPath.c_str());
        screen = ::GetDC(nullptr);
    }
    void TearDown() override {
        if (screen != nullptr) ::ReleaseDC(nullptr, screen);
        ::DeleteFileA(logPath.c_str());
    }

    std::string ClickAndLog(const std::string& entry, double last) {
        const auto dc = reinterpret_cast<platform::DcHandle>(screen);
        quotes::QuoteItem item(platform, entry, dc, kQuoteSource,
                               std::make_shared<const quotes::ItemFonts>(platform.gdi, dc));
        item.last = last;
        item.Click();
        return WaitForLoggedLine(logPath);
    }

    platform::win32::Win32Platform win32;
    platform::Platform platform = win32.AsPlatform();
    std::string logPath;
    HDC screen = nullptr;
};

TEST_F(Win32Click, HostileLinkCannotAddBrowserArguments) {
    const std::string line = ClickAndLog("News<http://x.test/a?b=1&c=2\" --some-flag \">", 0);
    const std::string expected =
        "\"" + quotes::HomeSite() + "/orvo.html?url=http://x.test/a?b=1&c=2%22%20--some-flag%20%22&v=5.6&ban=21\"";
    EXPECT_NE(line.find(expected), std::string::npos) << line;
    EXPECT_EQ(line.find("--some-flag \""), std::string::npos) << line;
}

TEST_F(Win32Click, QuotedSymbolOpensItsDetailPage) {
    const std::string line = ClickAndLog("IBM", 105.25);
    EXPECT_NE(line.find("\"" + quotes::HomeSite() + "/orvo.html?s=IBM&v=5.6&ban=21\""), std::string::npos) << line;
}

}  // namespace
