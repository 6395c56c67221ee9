// HttpGetText against the recording WinINet fake: the calls and their
// arguments, the addresses it refuses, how the body is cut into pieces and
// put back together, what each failure yields, and that every handle it
// opens is closed again.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "platform/fake/fake_internet.h"
#include "quotes/http_get_text.h"

namespace {

using platform::fake::FakeInternet;
using quotes::HttpGetText;

const std::string kError = "Velmoria Error";
const std::string kQuoteUrl = "http://quotes.example:8642/d/quotes.csv?f=sl1t1c1ghpv&s=IBM";
const std::string kQuoteLine = "\"IBM\",123.5,\"4:00PM\",+1.25,120.0,124.0,122.25,1234567\r\n";
constexpr std::size_t kPieceLimit = 1022;

bool IsRead(const std::string& call) {
    return call.rfind("InternetReadFile(", 0) == 0 || call.rfind("InternetQueryDataAvailable(", 0) == 0;
}

// The log without the reads and the waits before them, whose number depends
// on how the body arrives.
std::vector<std::string> WithoutReads(const std::vector<std::string>& calls) {
    std::vector<std::string> kept;
    for (const std::string& call : calls) {
        if (!IsRead(call)) kept.push_back(call);
    }
    return kept;
}

TEST(HttpGetText, MakesTheWinInetCallsInOrderWithTheirFlags) {
    FakeInternet internet;
    internet.Serve(kQuoteUrl, kQuoteLine);

    EXPECT_EQ(HttpGetText(internet, kQuoteUrl), "\"IBM\",123.5,\"4:00PM\",+1.25,120.0,124.0,122.25,1234567\n");

    const std::vector<std::string> expected = {
        "InternetOpen(\"ORVO\", 0, null, null, 0x4000000) -> s1",
        "InternetCanonicalizeUrl(\"" + kQuoteUrl + "\", 0x2000000)",
        "InternetCrackUrl(\"" + kQuoteUrl + "\", 0x0)",
        "InternetConnect(s1, \"quotes.example\", 8642, null, null, 3, 0x0, 1) -> c1",
        // Reload, existing connection, no cache, and no redirect followed by WinINet.
        "HttpOpenRequest(c1, \"GET\", \"/d/quotes.csv?f=sl1t1c1ghpv&s=IBM\", \"HTTP/1.0\", null, null, 0xa4200000, 1)"
        " -> r1",
        // Windows' default time-outs, set so that every WinINet keeps them.
        "InternetSetOption(r1, 2, 60000)",
        "InternetSetOption(r1, 6, 30000)",
        // The whole download's two minutes, which the client enforces.
        "SetDeadline(r1, 120000)",
        "HttpSendRequest(r1, null, 0, null, 0)",
        // Only to tell a redirect, which is followed here.
        "HttpQueryInfo(r1, 0x20000013, 4) -> 200",
        "InternetCloseHandle(r1)",
        "InternetCloseHandle(c1)",
        "InternetCloseHandle(s1)",
    };
    EXPECT_EQ(WithoutReads(internet.calls), expected);

    // The reads (each after a wait for the body) come between the send and
    // the first close, all on the request, and the last one finds the end
    // of the body.
    const auto firstRead = std::find_if(internet.calls.begin(), internet.calls.end(), IsRead);
    ASSERT_NE(firstRead, internet.calls.end());
    EXPECT_EQ(*(firstRead - 1), "HttpQueryInfo(r1, 0x20000013, 4) -> 200");
    const std::vector<std::string> reads = internet.CallsNamed("InternetReadFile");
    for (const std::string& read : reads) EXPECT_EQ(read.rfind("InternetReadFile(r1, ", 0), 0u) << read;
    EXPECT_EQ(reads.back().substr(reads.back().size() - 5), " -> 0");
    EXPECT_TRUE(internet.OpenHandleNames().empty());
}

TEST(HttpGetText, SplitsTheAddressIntoServerPortAndObject) {
    struct Case {
        std::string url;
        std::string connect;  // server and port as InternetConnect gets them
        std::string object;
    };
    const Case cases[] = {
        {"http://quotes.example/d/quotes.csv?s=IBM", "\"quotes.example\", 80", "\"/d/quotes.csv?s=IBM\""},
        {"http://127.0.0.1:8642/exchanges.html", "\"127.0.0.1\", 8642", "\"/exchanges.html\""},
        {"http://home.example:81/getmessage.asp?ID=!VELMORIA!", "\"home.example\", 81",
         "\"/getmessage.asp?ID=!VELMORIA!\""},
        {"http://home.example/orvo.html?url=http://x/y?a=1&b=2", "\"home.example\", 80",
         "\"/orvo.html?url=http://x/y?a=1&b=2\""},
    };
    for (const Case& c : cases) {
        FakeInternet internet;
        internet.Serve(c.url, "body");
        EXPECT_EQ(HttpGetText(internet, c.url), "body") << c.url;
        const std::vector<std::string> connects = internet.CallsNamed("InternetConnect");
        ASSERT_EQ(connects.size(), 1u) << c.url;
        EXPECT_NE(connects[0].find("(s1, " + c.connect + ", "), std::string::npos) << connects[0];
        const std::vector<std::string> requests = internet.CallsNamed("HttpOpenRequest");
        ASSERT_EQ(requests.size(), 1u) << c.url;
        EXPECT_NE(requests[0].find(", \"GET\", " + c.object + ", "), std::string::npos) << requests[0];
    }
}

TEST(HttpGetText, CracksTheCanonicalFormOfTheAddress) {
    FakeInternet internet;
    const std::string written = "http://home.example/a b/../news.html?q=x y";
    const std::string canonical = "http://home.example/news.html?q=x y";
    internet.canonicalForms[written] = canonical;
    internet.Serve(canonical, "news");

    EXPECT_EQ(HttpGetText(internet, written), "news");
    EXPECT_EQ(internet.CallsNamed("InternetCanonicalizeUrl"),
              std::vector<std::string>{"InternetCanonicalizeUrl(\"" + written + "\", 0x2000000)"});
    EXPECT_EQ(internet.CallsNamed("InternetCrackUrl"),
              std::vector<std::string>{"InternetCrackUrl(\"" + canonical + "\", 0x0)"});
}

TEST(HttpGetText, EveryDownloadHasItsOwnSessionConnectionAndRequest) {
    FakeInternet internet;
    internet.Serve(kQuoteUrl, "one\n");
    EXPECT_EQ(HttpGetText(internet, kQuoteUrl), "one\n");
    EXPECT_EQ(HttpGetText(internet, kQuoteUrl), "one\n");

    const std::vector<std::string> closes = internet.CallsNamed("InternetCloseHandle");
    const std::vector<std::string> expected = {
        "InternetCloseHandle(r1)", "InternetCloseHandle(c1)", "InternetCloseHandle(s1)",
        "InternetCloseHandle(r2)", "InternetCloseHandle(c2)", "InternetCloseHandle(s2)",
    };
    EXPECT_EQ(closes, expected);
    EXPECT_EQ(internet.CallsNamed("InternetOpen").size(), 2u);
}

// Addresses that are not "http" ones never get past the split: the session
// is closed again and nothing reaches a server, even where one would answer.
TEST(HttpGetText, RefusesAddressesThatAreNotHttp) {
    struct Case {
        const char* name;
        std::string url;
        std::function<void(FakeInternet&)> setUp;
    };
    const Case cases[] = {
        {"https", "https://quotes.example/d/quotes.csv?s=IBM", nullptr},
        {"HTTPS in capitals", "HTTPS://quotes.example/d/quotes.csv?s=IBM", nullptr},
        {"ftp", "ftp://quotes.example/d/quotes.csv", nullptr},
        {"no scheme", "quotes.example/d/quotes.csv?s=IBM", nullptr},
        {"host and port without scheme", "quotes.example:80/d/quotes.csv", nullptr},
        {"empty", "", nullptr},
        {"canonicalising fails", kQuoteUrl, [](FakeInternet& fake) { fake.canonicalizeFails = true; }},
        {"cracking fails", kQuoteUrl, [](FakeInternet& fake) { fake.crackFails = true; }},
    };
    for (const Case& c : cases) {
        FakeInternet internet;
        internet.Serve(c.url, "must not be fetched");
        internet.Serve(kQuoteUrl, "must not be fetched");
        if (c.setUp) c.setUp(internet);

        EXPECT_EQ(HttpGetText(internet, c.url), kError) << c.name;
        for (const char* name : {"InternetConnect", "HttpOpenRequest", "HttpSendRequest", "InternetReadFile"}) {
            EXPECT_TRUE(internet.CallsNamed(name).empty()) << c.name << ": " << name;
        }
        ASSERT_FALSE(internet.calls.empty()) << c.name;
        EXPECT_EQ(internet.calls.front(), "InternetOpen(\"ORVO\", 0, null, null, 0x4000000) -> s1") << c.name;
        EXPECT_EQ(internet.calls.back(), "InternetCloseHandle(s1)") << c.name;
        EXPECT_EQ(internet.CallsNamed("InternetCloseHandle").size(), 1u) << c.name;
        EXPECT_TRUE(internet.OpenHandleNames().empty()) << c.name;
    }
}

// What each failing call yields and which handles are closed after it, in
// the order request, connection, session.
TEST(HttpGetText, FailuresYieldTheirResultAndCloseWhatWasOpened) {
    const std::string body = "\"IBM\",123.5\r\n\"MSFT\",45.25\r\n";
    struct Case {
        const char* name;
        std::function<void(FakeInternet&)> setUp;
        std::string result;
        std::vector<std::string> closes;
        bool served = true;  // a server answers at the address
    };
    const std::vector<std::string> all = {"InternetCloseHandle(r1)", "InternetCloseHandle(c1)",
                                          "InternetCloseHandle(s1)"};
    const Case cases[] = {
        {"session cannot be opened", [](FakeInternet& f) { f.openFails = true; }, kError, {}},
        {"connection cannot be made", [](FakeInternet& f) { f.connectFails = true; }, kError,
         {"InternetCloseHandle(s1)"}},
        {"request cannot be opened", [](FakeInternet& f) { f.openRequestFails = true; }, kError,
         {"InternetCloseHandle(c1)", "InternetCloseHandle(s1)"}},
        {"request cannot be sent", [](FakeInternet& f) { f.sendFails = true; }, kError, all},
        {"no server answers", [](FakeInternet&) {}, kError, all, false},
        {"first read fails", [](FakeInternet& f) { f.readFailsAfter = 0; }, "", all},
        {"read fails inside the first line", [](FakeInternet& f) { f.readFailsAfter = 5; }, "\"IBM\"", all},
        {"read fails after the first line", [](FakeInternet& f) { f.readFailsAfter = 13; }, "\"IBM\",123.5\n",
         all},
        {"read fails inside the second line", [](FakeInternet& f) { f.readFailsAfter = 20; },
         "\"IBM\",123.5\n\"MSFT\",", all},
        {"a failing read hands over what it read",
         [](FakeInternet& f) {
             f.readFailsAfter = 20;
             f.failingReadDelivers = true;
         },
         "\"IBM\",123.5\n\"MSFT\",", all},
        {"read fails once the body has all come", [&body](FakeInternet& f) { f.readFailsAfter = body.size(); },
         "\"IBM\",123.5\n\"MSFT\",45.25\n", all},
        {"empty body", [](FakeInternet& f) { f.Serve(kQuoteUrl, ""); }, "", all},
        // No status: no answer came, whatever the send said.
        {"response has no status", [](FakeInternet& f) { f.queryFails = true; }, kError, all},
        // Nothing came within the receive time-out.
        {"waiting for the body fails", [](FakeInternet& f) { f.queryDataFails = true; }, "", all},
    };
    for (const Case& c : cases) {
        FakeInternet internet;
        if (c.served) internet.Serve(kQuoteUrl, body);
        c.setUp(internet);

        EXPECT_EQ(HttpGetText(internet, kQuoteUrl), c.result) << c.name;
        EXPECT_EQ(internet.CallsNamed("InternetCloseHandle"), c.closes) << c.name;
        // Nothing is called once the handles are closed.
        if (!c.closes.empty()) {
            EXPECT_EQ(internet.calls.back(), c.closes.back()) << c.name;
        }
        EXPECT_TRUE(internet.OpenHandleNames().empty()) << c.name;
    }
}

TEST(HttpGetText, StopsReadingAtTheFirstFailedRead) {
    FakeInternet internet;
    internet.Serve(kQuoteUrl, std::string(5000, 'x'));
    internet.readFailsAfter = 100;
    internet.bytesPerRead = 60;

    EXPECT_EQ(HttpGetText(internet, kQuoteUrl), std::string(100, 'x'));
    const std::vector<std::string> reads = internet.CallsNamed("InternetReadFile");
    ASSERT_FALSE(reads.empty());
    EXPECT_EQ(reads.back().substr(reads.back().size() - 10), " -> failed");
    EXPECT_EQ(std::count_if(reads.begin(), reads.end(),
                            [](const std::string& read) { return read.find("failed") != std::string::npos; }),
              1);
}

// WinINet's read waits until it has every byte asked for: a read asks only
// for what the wait before it found, so a body that trickles in never
// holds a read for longer than the receive time-out.
TEST(HttpGetText, EachReadAsksOnlyForWhatHasCome) {
    constexpr std::size_t kBlock = 4096;
    FakeInternet internet;
    internet.Serve(kQuoteUrl, std::string(12000, 'x'));
    internet.readSizes = {1, 7, 3000, 5000, 1};
    internet.bytesPerRead = 60;

    EXPECT_EQ(HttpGetText(internet, kQuoteUrl), std::string(12000, 'x'));
    std::size_t reads = 0;
    for (std::size_t i = 0; i < internet.calls.size(); ++i) {
        const std::string& call = internet.calls[i];
        if (call.rfind("InternetReadFile(", 0) != 0) continue;
        ++reads;
        ASSERT_GT(i, 0u);
        const std::string& wait = internet.calls[i - 1];
        const std::string waitPrefix = "InternetQueryDataAvailable(r1) -> ";
        ASSERT_EQ(wait.rfind(waitPrefix, 0), 0u) << call;
        const std::size_t available = std::stoul(wait.substr(waitPrefix.size()));
        const std::size_t asked = std::clamp<std::size_t>(available, 1, kBlock);
        EXPECT_EQ(call.rfind("InternetReadFile(r1, " + std::to_string(asked) + ") -> ", 0), 0u) << call;
    }
    EXPECT_GT(reads, 5u);
}

// However the server paces its answer, the download ends at its deadline:
// no connection is begun and no read made past it, and what came before it
// is kept, as after a failed read.
TEST(HttpGetText, ADownloadEndsAtItsDeadline) {
    constexpr std::uint32_t kSecond = 1000;
    const std::string slowBody(100, 'x');
    struct Case {
        const char* name;
        std::uint32_t deadlineMs;
        std::function<void(FakeInternet&)> setUp;
        std::string text;
        std::size_t connections;
    };
    const Case cases[] = {
        {"one byte every 29 seconds: what came in two minutes", quotes::kDownloadDeadlineMs,
         [](FakeInternet& f) { f.msPerRead = 29 * kSecond; }, std::string(5, 'x'), 1},
        {"one byte a second, ten seconds allowed", 10 * kSecond, [](FakeInternet& f) { f.msPerRead = kSecond; },
         std::string(10, 'x'), 1},
        {"the tick count wraps on the way", 10 * kSecond,
         [](FakeInternet& f) {
             f.msPerRead = kSecond;
             f.tickCount = UINT32_MAX - 2500;
         },
         std::string(10, 'x'), 1},
        {"a trickle that ends in time comes whole", 200 * kSecond, [](FakeInternet& f) { f.msPerRead = kSecond; },
         slowBody, 1},
        // Each answer takes 50 s: the third ends past two minutes.
        {"no redirect is followed past the deadline", quotes::kDownloadDeadlineMs,
         [](FakeInternet& f) { f.msPerSend = 50 * kSecond; }, kError, 3},
    };
    const std::string last = "http://quotes.example:8642/r5";
    for (const Case& c : cases) {
        FakeInternet internet;
        internet.Serve(kQuoteUrl, slowBody);
        internet.bytesPerRead = 1;
        if (c.text == kError) {
            // Five redirects, then the body.
            internet.Redirect(kQuoteUrl, 302, "http://quotes.example:8642/r1");
            for (int i = 1; i < 5; ++i) {
                internet.Redirect("http://quotes.example:8642/r" + std::to_string(i), 302,
                                  "http://quotes.example:8642/r" + std::to_string(i + 1));
            }
            internet.Serve(last, "end");
        }
        c.setUp(internet);
        quotes::DownloadLimits limits;
        limits.deadlineMs = c.deadlineMs;

        EXPECT_EQ(HttpGetText(internet, kQuoteUrl, limits), c.text) << c.name;
        EXPECT_EQ(internet.CallsNamed("InternetConnect").size(), c.connections) << c.name;
        EXPECT_TRUE(internet.OpenHandleNames().empty()) << c.name;
        if (c.text == kError) {
            EXPECT_EQ(internet.CallsNamed("SetDeadline"),
                      (std::vector<std::string>{"SetDeadline(r1, 120000)", "SetDeadline(r2, 70000)",
                                                "SetDeadline(r3, 20000)"}))
                << "each request is given what is left, which its client enforces even within a send";
        }
    }
}

// How the body comes back: pieces of at most 1,022 bytes that end at a line
// feed, carriage returns left out, and a zero byte ending what is kept of
// its piece. The same text must come back however the network cuts the
// body into reads.
TEST(HttpGetText, PutsThePiecesOfTheBodyTogether) {
    const std::string a1021(kPieceLimit - 1, 'a');
    const std::string a1022(kPieceLimit, 'a');
    struct Case {
        const char* name;
        std::string body;
        std::string text;
    };
    const Case cases[] = {
        {"one line ended by CR LF", kQuoteLine, "\"IBM\",123.5,\"4:00PM\",+1.25,120.0,124.0,122.25,1234567\n"},
        {"lines ended by CR LF", "A,1\r\nB,2\r\nC,3\r\n", "A,1\nB,2\nC,3\n"},
        {"lines ended by LF", "A,1\nB,2\nC,3\n", "A,1\nB,2\nC,3\n"},
        {"carriage returns anywhere", "\rA\r,\r1\r\r\n\r", "A,1\n"},
        {"only carriage returns", "\r\r\r", ""},
        {"no final line feed", "A,1\nB,2", "A,1\nB,2"},
        {"empty", "", ""},
        {"empty lines", "\n\n\r\n", "\n\n\n"},
        {"a zero byte drops the rest of its line", std::string("A,1\nB,\0002\nC,3\n", 13), "A,1\nB,C,3\n"},
        {"a zero byte first in a line", std::string("A,1\n\0B,2\nC,3\n", 13), "A,1\nC,3\n"},
        {"a zero byte in the last line", std::string("A,1\nB,\0002", 8), "A,1\nB,"},
        {"a line of exactly 1,022 bytes", a1022 + "\nB\n", a1022 + "\nB\n"},
        {"a line far longer than a piece", std::string(5000, 'q') + "\nB\n", std::string(5000, 'q') + "\nB\n"},
        // The zero bytes below show where the 1,022-byte pieces begin and end.
        {"a zero byte last in a full piece", a1021 + std::string(1, '\0') + "bbb\nC\n", a1021 + "bbb\nC\n"},
        {"a zero byte first in the next piece", a1022 + std::string(1, '\0') + "bbb\nC\n", a1022 + "C\n"},
        {"a zero byte in the third piece of a line",
         a1022 + a1022 + "cc" + std::string(1, '\0') + "dd\nE\n", a1022 + a1022 + "cc" + "E\n"},
        // Carriage returns count towards a piece's 1,022 bytes.
        {"carriage returns fill a piece", std::string(kPieceLimit - 2, 'a') + "\r\r" + std::string(1, '\0') + "b\nC\n",
         std::string(kPieceLimit - 2, 'a') + "C\n"},
        // A piece that kept nothing does not end the body.
        {"a piece of carriage returns only", std::string(3 * kPieceLimit, '\r') + "tail\n", "tail\n"},
    };
    const std::size_t deliveries[] = {1, 7, 1023, SIZE_MAX};
    for (const Case& c : cases) {
        for (const std::size_t bytesPerRead : deliveries) {
            FakeInternet internet;
            internet.Serve(kQuoteUrl, c.body);
            internet.bytesPerRead = bytesPerRead;
            EXPECT_EQ(HttpGetText(internet, kQuoteUrl), c.text) << c.name << ", " << bytesPerRead << " bytes per read";
            EXPECT_TRUE(internet.OpenHandleNames().empty()) << c.name;
        }
    }
}

// A body of quote lines of about the given size, and its text.
struct LongBody {
    std::string body;
    std::string text;
};
LongBody QuoteLines(std::size_t size) {
    const std::string lineWithoutReturn = "\"IBM\",123.5,\"4:00PM\",+1.25,120.0,124.0,122.25,1234567\n";
    LongBody made;
    while (made.body.size() < size) {
        made.body += kQuoteLine;
        made.text += lineWithoutReturn;
    }
    return made;
}

TEST(HttpGetText, ReadsABodyOfThreeMegabytesWhole) {
    constexpr std::size_t kThreeMegabytes = 3 * 1024 * 1024;
    static_assert(kThreeMegabytes < quotes::kMostBodyBytes);
    const LongBody made = QuoteLines(kThreeMegabytes);
    FakeInternet internet;
    internet.Serve(kQuoteUrl, made.body);

    const std::string text = HttpGetText(internet, kQuoteUrl);
    EXPECT_EQ(text.size(), made.text.size());
    EXPECT_TRUE(text == made.text);
    EXPECT_TRUE(internet.OpenHandleNames().empty());
}

// Past the bound only the first part is kept, and reading stops there.
TEST(HttpGetText, KeepsTheFirstFourMegabytesOfATenMegabyteBody) {
    constexpr std::size_t kTenMegabytes = 10 * 1024 * 1024;
    const LongBody made = QuoteLines(kTenMegabytes);
    FakeInternet internet;
    internet.Serve(kQuoteUrl, made.body);

    const std::string text = HttpGetText(internet, kQuoteUrl);
    EXPECT_EQ(text.size(), quotes::kMostBodyBytes);
    EXPECT_TRUE(text == made.text.substr(0, quotes::kMostBodyBytes));
    // Each read asks for 4,096 bytes; the carriage returns cost a little more.
    constexpr std::size_t kReadSize = 4096;
    EXPECT_LT(internet.CallsNamed("InternetReadFile").size(), 2 * quotes::kMostBodyBytes / kReadSize);
    EXPECT_EQ(internet.calls.back(), "InternetCloseHandle(s1)");
    EXPECT_TRUE(internet.OpenHandleNames().empty());
}

// The bound counts the text kept, after carriage returns and zero bytes.
TEST(HttpGetText, CutsTheTextAtTheBound) {
    struct Case {
        const char* name;
        std::string body;
        std::size_t most;
        std::string text;
    };
    const Case cases[] = {
        {"shorter than the bound", "A,1\nB,2\n", 9, "A,1\nB,2\n"},
        {"exactly the bound", "A,1\nB,2\n", 8, "A,1\nB,2\n"},
        {"one byte over", "A,1\nB,2\n", 7, "A,1\nB,2"},
        {"cut inside the first line", "A,1\nB,2\n", 2, "A,"},
        {"carriage returns are not counted", "A,1\r\nB,2\r\n", 8, "A,1\nB,2\n"},
        {"zero bytes drop what is not kept", std::string("A\0xxxx\nB,2\n", 12), 5, "AB,2\n"},
        {"a line longer than a piece", std::string(3000, 'q') + "\n", 2500, std::string(2500, 'q')},
    };
    for (const Case& c : cases) {
        FakeInternet internet;
        internet.Serve(kQuoteUrl, c.body);
        quotes::DownloadLimits limits;
        limits.mostBodyBytes = c.most;
        EXPECT_EQ(HttpGetText(internet, kQuoteUrl, limits), c.text) << c.name;
        EXPECT_TRUE(internet.OpenHandleNames().empty()) << c.name;
    }
}

// The limits given are the ones set; HttpGetText only passes them on.
TEST(HttpGetText, SetsTheTimeOutsItIsGiven) {
    FakeInternet internet;
    internet.Serve(kQuoteUrl, kQuoteLine);
    quotes::DownloadLimits limits;
    limits.connectTimeoutMs = 1234;
    limits.receiveTimeoutMs = 567;
    HttpGetText(internet, kQuoteUrl, limits);
    EXPECT_EQ(internet.CallsNamed("InternetSetOption"),
              (std::vector<std::string>{"InternetSetOption(r1, 2, 1234)", "InternetSetOption(r1, 6, 567)"}));
}

// A refused option leaves WinINet's own value: the download goes on.
TEST(HttpGetText, ARefusedTimeOutDoesNotStopTheDownload) {
    FakeInternet internet;
    internet.Serve(kQuoteUrl, kQuoteLine);
    internet.setOptionFails = true;
    EXPECT_EQ(HttpGetText(internet, kQuoteUrl), "\"IBM\",123.5,\"4:00PM\",+1.25,120.0,124.0,122.25,1234567\n");
    EXPECT_TRUE(internet.OpenHandleNames().empty());
}

// Running out of memory anywhere below ends the download like a failure,
// never as an exception towards the caller.
TEST(HttpGetText, OutOfMemoryEndsTheDownloadLikeAFailure) {
    const std::string body = "\"IBM\",123.5\r\n\"MSFT\",45.25\r\n";
    struct Case {
        const char* name;
        std::function<void(FakeInternet&)> setUp;
        std::string result;
    };
    const Case cases[] = {
        {"opening the session", [](FakeInternet& f) { f.openThrows = true; }, kError},
        {"the first read", [](FakeInternet& f) { f.readThrowsAfter = 0; }, ""},
        {"a read inside the second line", [](FakeInternet& f) {
             f.readThrowsAfter = 20;
             f.bytesPerRead = 4;
         }, "\"IBM\",123.5\n\"MSFT\","},
    };
    for (const Case& c : cases) {
        FakeInternet internet;
        internet.Serve(kQuoteUrl, body);
        c.setUp(internet);
        std::string text;
        EXPECT_NO_THROW(text = HttpGetText(internet, kQuoteUrl)) << c.name;
        EXPECT_EQ(text, c.result) << c.name;
        EXPECT_TRUE(internet.OpenHandleNames().empty()) << c.name;
    }
}

}  // namespace
