// The native HTTP client's own share of WinINet: canonicalising and
// cracking addresses, and the buffer contract of the canonical form.
#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>

#include "platform/native/canonical_url.h"
#include "platform/native/internet_curl.h"
#include "hostile_server.h"

namespace {

using platform::native::CanonicalUrl;

TEST(CanonicalUrl, EscapesUnsafeBytesAndResolvesDotSegments) {
    struct Case {
        std::string url;
        bool browserMode;
        std::optional<std::string> canonical;
    };
    const Case cases[] = {
        {"http://h:8642/d/quotes.csv?f=sl1t1c1ghpv&s=IBM", true, "http://h:8642/d/quotes.csv?f=sl1t1c1ghpv&s=IBM"},
        {"HTTP://h", true, "http://h/"},
        {"http://h/a b/../c?q=x y", true, "http://h/c?q=x y"},
        {"http://h/a b/../c?q=x y", false, "http://h/c?q=x%20y"},
        {"http://h/a^b|c/./d?e#f g", true, "http://h/a%5Eb%7Cc/d?e#f g"},
        {"http://h/x/..", true, "http://h/"},
        {"http://h/../../x", true, "http://h/x"},
        {"http://h/orvo.html?url=http://x/../y?a=1", true, "http://h/orvo.html?url=http://x/../y?a=1"},
        {" http://h/x ", true, "http://h/x"},
        {"http://h/x?q= ", true, "http://h/x?q= "},
        {"h/x", true, std::nullopt},
        {"127.0.0.1:8642/x", true, std::nullopt},
        {"", true, std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CanonicalUrl(c.url, c.browserMode), c.canonical) << '"' << c.url << '"' << c.browserMode;
    }
}

TEST(CurlInternet, CanonicalizeUrlSaysHowMuchRoomItNeeds) {
    platform::native::CurlInternet internet;
    const std::string url = "http://h/a b";
    const std::string canonical = "http://h/a%20b";
    char small[4] = {};
    std::uint32_t length = sizeof small;
    EXPECT_FALSE(internet.CanonicalizeUrl(url.c_str(), small, length, platform::kIcuBrowserMode));
    EXPECT_EQ(length, canonical.size() + 1);

    char buffer[64] = {};
    length = sizeof buffer;
    ASSERT_TRUE(internet.CanonicalizeUrl(url.c_str(), buffer, length, platform::kIcuBrowserMode));
    EXPECT_EQ(std::string(buffer), canonical);
    EXPECT_EQ(length, canonical.size());
}

TEST(CurlInternet, CracksAddressesLikeWinInet) {
    struct Case {
        std::string url;
        bool cracks;
        platform::UrlParts parts;
    };
    const Case cases[] = {
        {"http://127.0.0.1:8642/d/quotes.csv?f=x&s=IBM", true,
         {"http", platform::kInternetSchemeHttp, "127.0.0.1", 8642, "", "", "/d/quotes.csv", "?f=x&s=IBM"}},
        {"http://quotes.example", true, {"http", platform::kInternetSchemeHttp, "quotes.example", 80, "", "", "/", ""}},
        {"https://h/x", true, {"https", platform::kInternetSchemeHttps, "h", 443, "", "", "/x", ""}},
        {"ftp://u:p@h:2121/x?y#frag", true, {"ftp", platform::kInternetSchemeFtp, "h", 2121, "u", "p", "/x", "?y#frag"}},
        {"foo://h/x", true, {"foo", platform::kInternetSchemeUnknown, "h", 0, "", "", "/x", ""}},
        {"h/x", false, {}},
        {"", false, {}},
    };
    platform::native::CurlInternet internet;
    for (const Case& c : cases) {
        platform::UrlParts parts;
        ASSERT_EQ(internet.CrackUrl(c.url.c_str(), 0, parts), c.cracks) << c.url;
        if (!c.cracks) continue;
        EXPECT_EQ(parts.scheme, c.parts.scheme) << c.url;
        EXPECT_EQ(parts.schemeNumber, c.parts.schemeNumber) << c.url;
        EXPECT_EQ(parts.host, c.parts.host) << c.url;
        EXPECT_EQ(parts.port, c.parts.port) << c.url;
        EXPECT_EQ(parts.userName, c.parts.userName) << c.url;
        EXPECT_EQ(parts.password, c.parts.password) << c.url;
        EXPECT_EQ(parts.urlPath, c.parts.urlPath) << c.url;
        EXPECT_EQ(parts.extraInfo, c.parts.extraInfo) << c.url;
    }
}

TEST(CurlInternet, RefusesHandlesItDidNotGiveOrHasClosed) {
    platform::native::CurlInternet internet;
    const platform::InternetHandle session =
        internet.Open("ORVO", platform::kInternetOpenTypePreconfig, nullptr, nullptr, platform::kInternetFlagDontCache);
    ASSERT_NE(session, nullptr);
    const platform::InternetHandle connection =
        internet.Connect(session, "127.0.0.1", 80, nullptr, nullptr, platform::kInternetServiceHttp, 0, 1);
    ASSERT_NE(connection, nullptr);
    // A session is no connection, and a request that was never sent has no body.
    EXPECT_EQ(internet.OpenRequest(session, "GET", "/", "HTTP/1.0", nullptr, nullptr, 0, 1), nullptr);
    const platform::InternetHandle request =
        internet.OpenRequest(connection, "GET", "/", "HTTP/1.0", nullptr, nullptr, 0, 1);
    ASSERT_NE(request, nullptr);
    char buffer[8];
    std::uint32_t read = 1;
    EXPECT_FALSE(internet.ReadFile(request, buffer, sizeof buffer, read));
    EXPECT_EQ(read, 0u);

    EXPECT_TRUE(internet.CloseHandle(request));
    EXPECT_FALSE(internet.CloseHandle(request));
    EXPECT_FALSE(internet.SendRequest(request, nullptr, 0, nullptr, 0));
    EXPECT_TRUE(internet.CloseHandle(connection));
    EXPECT_TRUE(internet.CloseHandle(session));
}

// One request on its own handles, against a server of the test.
class CurlExchange : public testing::Test {
protected:
    platform::InternetHandle Send(const hostile::HostileServer& server, std::uint32_t flags = 0) {
        session_ = internet_.Open("ORVO", platform::kInternetOpenTypeDirect, nullptr, nullptr, 0);
        connection_ = internet_.Connect(session_, "127.0.0.1", static_cast<std::uint16_t>(server.port()), nullptr,
                                        nullptr, platform::kInternetServiceHttp, 0, 1);
        request_ = internet_.OpenRequest(connection_, "GET", "/x", "HTTP/1.0", nullptr, nullptr, flags, 1);
        internet_.SetOption(request_, platform::kInternetOptionReceiveTimeout, kReceiveTimeoutMs);
        return internet_.SendRequest(request_, nullptr, 0, nullptr, 0) ? request_ : nullptr;
    }
    // The next read: its bytes, or nothing when it failed.
    std::optional<std::string> Read() {
        char buffer[4096];
        std::uint32_t read = 0;
        if (!internet_.ReadFile(request_, buffer, sizeof buffer, read)) return std::nullopt;
        return std::string(buffer, read);
    }
    void TearDown() override {
        for (const platform::InternetHandle handle : {request_, connection_, session_}) {
            if (handle != nullptr) internet_.CloseHandle(handle);
        }
    }

    static constexpr std::uint32_t kReceiveTimeoutMs = 1000;
    platform::native::CurlInternet internet_;
    platform::InternetHandle session_ = nullptr;
    platform::InternetHandle connection_ = nullptr;
    platform::InternetHandle request_ = nullptr;
};

// Like WinINet, sending returns with the headers and the body streams: what
// arrived before a stall is there at once, and the stall then fails a read.
TEST_F(CurlExchange, TheBodyArrivesAsItComes) {
    hostile::HostileServer server([](hostile::Peer& p) {
        p.Send("HTTP/1.0 200 OK\r\nContent-Length: 100\r\n\r\nAlpha");
        p.Hang();
    });
    const auto start = std::chrono::steady_clock::now();
    ASSERT_NE(Send(server), nullptr);
    EXPECT_EQ(Read(), std::optional<std::string>("Alpha"));
    const auto firstPart = std::chrono::steady_clock::now() - start;
    EXPECT_LT(firstPart, std::chrono::milliseconds(kReceiveTimeoutMs));
    EXPECT_EQ(Read(), std::nullopt);
}

// Redirects are never followed here (the download follows them itself):
// the redirect is the answer.
TEST_F(CurlExchange, ARedirectNotFollowedIsTheAnswer) {
    hostile::HostileServer server([](hostile::Peer& p) {
        p.Send("HTTP/1.0 302 Found\r\nLocation: /elsewhere\r\nContent-Length: 5\r\n\r\nmoved");
    });
    ASSERT_NE(Send(server, platform::kInternetFlagNoAutoRedirect), nullptr);
    EXPECT_EQ(Read(), std::optional<std::string>("moved"));
    EXPECT_EQ(Read(), std::optional<std::string>(""));
    EXPECT_EQ(server.connections(), 1);
}

}  // namespace
