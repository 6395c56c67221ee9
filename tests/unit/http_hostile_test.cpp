// HttpGetText over the native HTTP client (libcurl) against hostile servers
// on 127.0.0.1: servers that hang, stall, trickle, redirect without end or
// elsewhere, flood the headers or send far too much. The table is the one
// the WinINet tests run under Wine.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "http_hostile_cases.h"
#include "platform/native/internet_curl.h"
#include "proxy_environment.h"
#include "quotes/http_get_text.h"

namespace {

using http_hostile_cases::kError;
using http_hostile_cases::kText;
using Clock = std::chrono::steady_clock;

class HttpHostile : public testing::Test {
protected:
    // The servers are on 127.0.0.1: no proxy of the environment may step in.
    test_support::ProxyEnvironment withoutProxy_;
    platform::native::CurlInternet internet_;
};

TEST_F(HttpHostile, YieldsWhatEachHostileServerLeaves) {
    for (const http_hostile_cases::HostileCase& c : http_hostile_cases::HostileCases()) {
        hostile::HostileServer server(c.answer);
        ASSERT_TRUE(server.listening()) << c.name;
        const std::string text = quotes::HttpGetText(internet_, server.Url("/getmessage.asp"),
                                                     http_hostile_cases::ShortLimits());
        EXPECT_EQ(text.size(), c.text.size()) << c.name;
        EXPECT_TRUE(text == c.text) << c.name << ": " << text.substr(0, 200);
        EXPECT_GE(server.connections(), 1) << c.name;
        EXPECT_LE(server.connections(), c.mostConnections) << c.name;
    }
}

// Without limits of its own the download keeps Windows' receive time-out:
// a server that never answers is given up after 30 seconds, not before.
TEST_F(HttpHostile, ASilentServerIsGivenUpAfterWindowsReceiveTimeOut) {
    hostile::HostileServer server([](hostile::Peer& p) { p.Hang(); });
    ASSERT_TRUE(server.listening());
    const auto start = Clock::now();
    EXPECT_EQ(quotes::HttpGetText(internet_, server.Url("/getmessage.asp")), kError);
    const auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
    EXPECT_GE(waited, platform::kWindowsReceiveTimeoutMs);
    EXPECT_LT(waited, 2 * platform::kWindowsReceiveTimeoutMs);
}

// The receive time-out is one of silence, not of the whole download: a
// body trickling in for far longer than it still arrives whole.
TEST_F(HttpHostile, ATrickleLongerThanTheReceiveTimeOutArrives) {
    constexpr int kPauseMs = 300;
    hostile::HostileServer server([](hostile::Peer& p) {
        p.Send(http_hostile_cases::kHead + http_hostile_cases::kEndOfHead);
        p.Trickle(http_hostile_cases::kBody, kPauseMs);
    });
    quotes::DownloadLimits limits = http_hostile_cases::ShortLimits();
    const auto start = Clock::now();
    EXPECT_EQ(quotes::HttpGetText(internet_, server.Url("/getmessage.asp"), limits), kText);
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
    EXPECT_GT(took, 2 * static_cast<long long>(limits.receiveTimeoutMs));
}

TEST_F(HttpHostile, OnlyTheTimeOutsAreOptions) {
    const platform::InternetHandle session = internet_.Open("ORVO", platform::kInternetOpenTypePreconfig, nullptr,
                                                            nullptr, 0);
    ASSERT_NE(session, nullptr);
    EXPECT_TRUE(internet_.SetOption(session, platform::kInternetOptionConnectTimeout, 1000));
    EXPECT_TRUE(internet_.SetOption(session, platform::kInternetOptionReceiveTimeout, 1000));
    constexpr std::uint32_t kSendTimeout = 5;
    EXPECT_FALSE(internet_.SetOption(session, kSendTimeout, 1000));
    EXPECT_TRUE(internet_.CloseHandle(session));
    EXPECT_FALSE(internet_.SetOption(session, platform::kInternetOptionReceiveTimeout, 1000));
}

}  // namespace
