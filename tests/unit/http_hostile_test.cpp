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
        const auto start = Clock::now();
        const std::string text = quotes::HttpGetText(internet_, server.Url("/getmessage.asp"),
                                                     http_hostile_cases::ShortLimits());
        http_hostile_cases::PrintFigures(
            "libcurl", c, text,
            std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count(), server.connections());
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
// body trickling in for far longer than it still arrives whole, within the
// deadline.
TEST_F(HttpHostile, ATrickleLongerThanTheReceiveTimeOutArrives) {
    constexpr int kPauseMs = 300;
    hostile::HostileServer server([](hostile::Peer& p) {
        p.Send(http_hostile_cases::kHead + http_hostile_cases::kEndOfHead);
        p.Trickle(http_hostile_cases::kBody, kPauseMs);
    });
    quotes::DownloadLimits limits = http_hostile_cases::ShortLimits();
    limits.deadlineMs = quotes::kDownloadDeadlineMs;
    const auto start = Clock::now();
    EXPECT_EQ(quotes::HttpGetText(internet_, server.Url("/getmessage.asp"), limits), kText);
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
    EXPECT_GT(took, 2 * static_cast<long long>(limits.receiveTimeoutMs));
}

// The deadline ends what the receive time-out never does: a body that
// keeps trickling in.
TEST_F(HttpHostile, ATrickleIsCutAtTheDeadline) {
    hostile::HostileServer server(http_hostile_cases::TricklePastTheDeadline);
    ASSERT_TRUE(server.listening());
    const auto start = Clock::now();
    const std::string text =
        quotes::HttpGetText(internet_, server.Url("/getmessage.asp"), http_hostile_cases::ShortLimits());
    const long long took = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
    std::string why;
    EXPECT_TRUE(http_hostile_cases::EndedAtTheDeadline(text, took, why)) << why;
}

// Nor does it end a send whose answer never finishes its headers: the
// client itself ends it at the deadline.
TEST_F(HttpHostile, HeadersThatNeverEndAreCutAtTheDeadline) {
    for (const http_hostile_cases::DeadlineCase& c : http_hostile_cases::HeadersPastTheDeadline()) {
        hostile::HostileServer server(c.answer);
        ASSERT_TRUE(server.listening()) << c.name;
        const auto start = Clock::now();
        const std::string text =
            quotes::HttpGetText(internet_, server.Url("/getmessage.asp"), http_hostile_cases::ShortLimits());
        const long long took = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
        std::string why;
        EXPECT_TRUE(http_hostile_cases::EndedByTheDeadline(text, took, why)) << c.name << ": " << why;
    }
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

// What the download asks of a response to tell a redirect: the status as a
// number or text, and the Location as the server wrote it; a buffer too small
// is told the size it needs. A response followed by WinINet itself is not the
// one asked about, so the flag that stops it is honoured.
TEST_F(HttpHostile, TellsTheStatusAndTheLocationOfTheResponse) {
    hostile::HostileServer server([](hostile::Peer& p) {
        p.Send("HTTP/1.0 301 Moved\r\nX-Other: 1\r\nLocation:  next?a=b \r\nLocation: /second\r\n"
               "Content-Length: 0\r\n\r\n");
    });
    const auto session = internet_.Open("ORVO", platform::kInternetOpenTypePreconfig, nullptr, nullptr, 0);
    const auto connection = internet_.Connect(session, "127.0.0.1", static_cast<std::uint16_t>(server.port()),
                                              nullptr, nullptr, platform::kInternetServiceHttp, 0, 1);
    const auto request = internet_.OpenRequest(connection, "GET", "/d/quotes.csv", "HTTP/1.0", nullptr, nullptr,
                                               platform::kInternetFlagNoAutoRedirect, 1);
    ASSERT_NE(request, nullptr);
    std::uint32_t status = 0;
    std::uint32_t length = sizeof status;
    constexpr std::uint32_t kNumber = platform::kHttpQueryStatusCode | platform::kHttpQueryFlagNumber;
    EXPECT_FALSE(internet_.QueryInfo(request, kNumber, &status, length)) << "nothing sent yet";
    ASSERT_TRUE(internet_.SendRequest(request, nullptr, 0, nullptr, 0));

    EXPECT_TRUE(internet_.QueryInfo(request, kNumber, &status, length));
    EXPECT_EQ(status, 301u);
    EXPECT_EQ(length, sizeof status);
    char text[16] = {};
    length = sizeof text;
    EXPECT_TRUE(internet_.QueryInfo(request, platform::kHttpQueryStatusCode, text, length));
    EXPECT_EQ(std::string(text, length), "301");

    char tiny[4] = {};
    length = sizeof tiny;
    EXPECT_FALSE(internet_.QueryInfo(request, platform::kHttpQueryLocation, tiny, length));
    EXPECT_EQ(length, std::string("next?a=b").size() + 1);
    length = sizeof text;
    EXPECT_TRUE(internet_.QueryInfo(request, platform::kHttpQueryLocation, text, length));
    EXPECT_EQ(std::string(text, length), "next?a=b");
    EXPECT_EQ(server.connections(), 1);

    constexpr std::uint32_t kContentType = 1;
    length = sizeof text;
    EXPECT_FALSE(internet_.QueryInfo(request, kContentType, text, length));
    for (const auto handle : {request, connection, session}) EXPECT_TRUE(internet_.CloseHandle(handle));
}

}  // namespace
