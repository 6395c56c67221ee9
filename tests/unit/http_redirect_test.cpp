// Redirects, which the download follows itself: which answers are
// redirects, where a Location leads, and HttpGetText following them against
// the recording WinINet fake, up to its bound and no further.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/fake/fake_internet.h"
#include "quotes/http_get_text.h"
#include "quotes/redirect.h"

namespace {

using platform::fake::FakeInternet;
using quotes::HttpGetText;

const std::string kError = quotes::kDownloadErrorText;
const std::string kQuoteUrl = "http://quotes.example:8642/d/quotes.csv?s=IBM";
const std::string kQuoteLine = "\"IBM\",123.5\r\n";
const std::string kQuoteText = "\"IBM\",123.5\n";

std::string Hop(int n) { return "http://quotes.example:8642/hop" + std::to_string(n); }

TEST(Redirect, TellsRedirectStatusesApart) {
    for (const std::uint32_t status : {301u, 302u, 303u, 307u, 308u}) {
        EXPECT_TRUE(quotes::IsRedirectStatus(status)) << status;
    }
    // 300 offers choices, 304 and 305 are no moves, 306 is unused.
    for (const std::uint32_t status : {0u, 200u, 300u, 304u, 305u, 306u, 309u, 404u, 500u}) {
        EXPECT_FALSE(quotes::IsRedirectStatus(status)) << status;
    }
}

TEST(Redirect, ResolvesTheLocationFromTheRequestThatGaveIt) {
    struct Case {
        const char* server;
        std::uint16_t port;
        const char* object;
        const char* location;
        const char* address;
    };
    const Case cases[] = {
        {"quotes.example", 8642, "/d/quotes.csv?s=IBM", "http://other.example/x", "http://other.example/x"},
        {"quotes.example", 8642, "/d/quotes.csv?s=IBM", "HTTP://Other.example:81/x", "HTTP://Other.example:81/x"},
        // Another scheme stands as written, for the download to refuse.
        {"quotes.example", 8642, "/d/quotes.csv?s=IBM", "https://quotes.example/", "https://quotes.example/"},
        {"quotes.example", 8642, "/d/quotes.csv?s=IBM", "mailto:a@b", "mailto:a@b"},
        {"quotes.example", 8642, "/d/quotes.csv?s=IBM", "//other.example:81/y", "http://other.example:81/y"},
        {"quotes.example", 8642, "/d/quotes.csv?s=IBM", "/moved?s=IBM", "http://quotes.example:8642/moved?s=IBM"},
        {"quotes.example", 8642, "/d/quotes.csv?s=IBM", "new.csv", "http://quotes.example:8642/d/new.csv"},
        {"quotes.example", 8642, "/d/quotes.csv?s=IBM", "../up.csv", "http://quotes.example:8642/d/../up.csv"},
        {"quotes.example", 8642, "/d/quotes.csv?s=IBM", "?s=MSFT", "http://quotes.example:8642/d/quotes.csv?s=MSFT"},
        {"quotes.example", 8642, "/d/quotes.csv?s=IBM#top", "#end",
         "http://quotes.example:8642/d/quotes.csv?s=IBM#end"},
        // A colon after a slash, or after a digit first, is no scheme.
        {"quotes.example", 8642, "/d/quotes.csv", "a/b:c", "http://quotes.example:8642/d/a/b:c"},
        {"quotes.example", 8642, "/d/quotes.csv", "1x:y", "http://quotes.example:8642/d/1x:y"},
        // A slash in the query is not part of the path.
        {"quotes.example", 80, "/q?u=/a/b", "next", "http://quotes.example:80/next"},
        {"quotes.example", 80, "", "next", "http://quotes.example:80/next"},
        {"::1", 8642, "/a/b", "c", "http://[::1]:8642/a/c"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(quotes::ResolveRedirect(c.server, c.port, c.object, c.location), c.address) << c.location;
    }
}

TEST(HttpGetText, FollowsARedirectOnANewConnectionAndClosesEachHop) {
    FakeInternet internet;
    internet.Redirect(kQuoteUrl, 302, "http://other.example:81/q.csv");
    internet.Serve("http://other.example:81/q.csv", kQuoteLine);

    EXPECT_EQ(HttpGetText(internet, kQuoteUrl), kQuoteText);
    EXPECT_EQ(internet.CallsNamed("InternetOpen").size(), 1u);
    EXPECT_EQ(internet.CallsNamed("InternetConnect"),
              (std::vector<std::string>{
                  "InternetConnect(s1, \"quotes.example\", 8642, null, null, 3, 0x0, 1) -> c1",
                  "InternetConnect(s1, \"other.example\", 81, null, null, 3, 0x0, 1) -> c2"}));
    // The redirect's own body is not read; its handles close before the next hop.
    EXPECT_EQ(internet.CallsNamed("HttpQueryInfo"),
              (std::vector<std::string>{"HttpQueryInfo(r1, 0x20000013, 4) -> 302",
                                        "HttpQueryInfo(r1, 0x21, 2048) -> http://other.example:81/q.csv",
                                        "HttpQueryInfo(r2, 0x20000013, 4) -> 200"}));
    EXPECT_EQ(internet.CallsNamed("InternetCloseHandle"),
              (std::vector<std::string>{"InternetCloseHandle(r1)", "InternetCloseHandle(c1)",
                                        "InternetCloseHandle(r2)", "InternetCloseHandle(c2)",
                                        "InternetCloseHandle(s1)"}));
    for (const std::string& read : internet.CallsNamed("InternetReadFile")) {
        EXPECT_EQ(read.rfind("InternetReadFile(r2, ", 0), 0u) << read;
    }
    EXPECT_TRUE(internet.OpenHandleNames().empty());
}

// Each redirect status is followed, with a relative Location too (to
// /d/moved, which nobody serves here); the other 3xx answers, and a redirect
// without a Location, are answers themselves.
TEST(HttpGetText, FollowsOnlyRedirectsThatSayWhereTo) {
    struct Case {
        std::uint32_t status;
        std::optional<std::string> location;
        std::string text;
    };
    const Case cases[] = {
        {301, "/moved", kQuoteText}, {302, "/moved", kQuoteText}, {303, "/moved", kQuoteText},
        {307, "/moved", kQuoteText}, {308, "/moved", kQuoteText}, {302, "moved", kError},
        {300, "/moved", ""},         {304, "/moved", ""},         {302, std::nullopt, ""},
        {302, "", ""},
    };
    for (const Case& c : cases) {
        FakeInternet internet;
        internet.Redirect(kQuoteUrl, c.status, c.location);
        internet.Serve("http://quotes.example:8642/moved", kQuoteLine);
        const std::string label = std::to_string(c.status) + " " + c.location.value_or("(none)");
        EXPECT_EQ(HttpGetText(internet, kQuoteUrl), c.text) << label;
        EXPECT_TRUE(internet.OpenHandleNames().empty()) << label;
    }
}

TEST(HttpGetText, ARelativeLocationReplacesTheLastSegment) {
    FakeInternet internet;
    internet.Redirect(kQuoteUrl, 302, "moved?s=IBM");
    internet.Serve("http://quotes.example:8642/d/moved?s=IBM", kQuoteLine);
    EXPECT_EQ(HttpGetText(internet, kQuoteUrl), kQuoteText);
    EXPECT_EQ(internet.CallsNamed("HttpOpenRequest").back(),
              "HttpOpenRequest(c2, \"GET\", \"/d/moved?s=IBM\", \"HTTP/1.0\", null, null, 0xa4200000, 1) -> r2");
}

// Ten redirects are followed, an eleventh is not: a loop ends as a failure
// after eleven requests, with every handle closed.
TEST(HttpGetText, FollowsTenRedirectsAndNoMore) {
    for (const int hops : {quotes::kMostRedirects, quotes::kMostRedirects + 1}) {
        FakeInternet internet;
        internet.Redirect(kQuoteUrl, 302, Hop(1));
        for (int n = 1; n < hops; ++n) internet.Redirect(Hop(n), 302, Hop(n + 1));
        internet.Serve(Hop(hops), kQuoteLine);

        const bool withinBound = hops <= quotes::kMostRedirects;
        EXPECT_EQ(HttpGetText(internet, kQuoteUrl), withinBound ? kQuoteText : kError) << hops;
        EXPECT_EQ(internet.CallsNamed("HttpSendRequest").size(),
                  static_cast<std::size_t>(withinBound ? hops + 1 : quotes::kMostRedirects + 1))
            << hops;
        EXPECT_TRUE(internet.OpenHandleNames().empty()) << hops;
    }

    FakeInternet loop;
    loop.Redirect(kQuoteUrl, 302, kQuoteUrl);
    EXPECT_EQ(HttpGetText(loop, kQuoteUrl), kError);
    EXPECT_EQ(loop.CallsNamed("HttpSendRequest").size(), static_cast<std::size_t>(quotes::kMostRedirects + 1));
    EXPECT_TRUE(loop.OpenHandleNames().empty());
}

// A redirect that leads to no http server fails the download, without a
// connection to what it names.
TEST(HttpGetText, ARedirectThatLeadsNowhereFails) {
    const std::string longPath(5000, 'p');
    struct Case {
        const char* name;
        std::string location;
        std::string text;
        std::size_t connections;
    };
    const Case cases[] = {
        {"to https", "https://quotes.example/", kError, 1},
        {"to ftp", "ftp://quotes.example/", kError, 1},
        {"to no server", "http://nobody.example/", kError, 2},
        // Longer than the first buffer: asked for again at its size.
        {"to a long path nobody serves", "/" + longPath, kError, 2},
        {"past the bound of a Location", "/" + std::string(70000, 'p'), kError, 1},
    };
    for (const Case& c : cases) {
        FakeInternet internet;
        internet.Redirect(kQuoteUrl, 302, c.location);
        EXPECT_EQ(HttpGetText(internet, kQuoteUrl), c.text) << c.name;
        EXPECT_EQ(internet.CallsNamed("InternetConnect").size(), c.connections) << c.name;
        EXPECT_TRUE(internet.OpenHandleNames().empty()) << c.name;
    }

    FakeInternet internet;
    internet.Redirect(kQuoteUrl, 302, "/" + longPath);
    internet.Serve("http://quotes.example:8642/" + longPath, kQuoteLine);
    EXPECT_EQ(HttpGetText(internet, kQuoteUrl), kQuoteText);
}

}  // namespace
