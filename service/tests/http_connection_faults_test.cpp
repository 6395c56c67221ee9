// The faults that break the connection itself, as a client on the wire
// sees them: no answer at all, a reset, silence, headers without a body, a
// slow answer, a body without an end, broken chunks, redirects, a web page
// instead of data, and far too much data.
#include <gtest/gtest.h>
#include <httplib.h>

#include <algorithm>
#include <chrono>
#include <future>
#include <memory>
#include <regex>

#include "log_lines.h"
#include "raw_http.h"
#include "running_service.h"
#include "service/http/delivery.h"

namespace service_test {
namespace {

const std::string kQuote = "/d/quotes.csv?f=sl1t1c1ghpv&s=IBM";
const std::string kLondonQuote = "/uk/quotes.csv?f=sl1t1c1ghpvo&s=VOD.L";
// Long enough for anything that is going to arrive on 127.0.0.1.
constexpr auto kPatience = std::chrono::seconds(10);
// How long a client listens to be sure the service keeps quiet.
constexpr auto kSilence = std::chrono::milliseconds(300);

void SwitchFault(int port, const std::string& query) {
    const RawResponse response = RawGet(port, "/control/fault?" + query);
    ASSERT_EQ(response.status, 200) << query << ": " << response.body;
}

// Two services with the same seed give the same answers, so one of them
// shows what the other would have sent without its fault.
class ConnectionFaults : public ::testing::Test {
protected:
    RunningService faulty;
    RunningService healthy;
};

TEST_F(ConnectionFaults, CloseAndResetEndTheConnectionWithoutAByte) {
    const struct {
        const char* mode;
        RawEnd end;
    } cases[] = {{"close", RawEnd::Closed}, {"reset", RawEnd::Reset}};
    for (const auto& c : cases) {
        SwitchFault(faulty.port(), std::string("path=/d/quotes.csv&mode=") + c.mode);
        const RawOutcome outcome = RawAttempt(faulty.port(), GetRequest(kQuote), kPatience);
        EXPECT_EQ(outcome.end, c.end) << c.mode;
        EXPECT_EQ(outcome.bytes, "") << c.mode;
    }
}

TEST_F(ConnectionFaults, HangSaysNothingUntilTheClientLeaves) {
    SwitchFault(faulty.port(), "path=/d/quotes.csv&mode=hang");
    {
        RawConnection connection(faulty.port());
        connection.Send(GetRequest(kQuote));
        const RawOutcome outcome = connection.Receive(kSilence);
        EXPECT_EQ(outcome.end, RawEnd::TimedOut);
        EXPECT_EQ(outcome.bytes, "");
        EXPECT_EQ(faulty.WaitForLogLines(2).size(), 2u);  // the request came in and was logged
    }
    // The client gave up: the service lets the connection go.
    EXPECT_TRUE(faulty.WaitForOpenConnectionsAtMost(0));
}

TEST_F(ConnectionFaults, HangAndStallGiveUpAfterTheirArgument) {
    SwitchFault(faulty.port(), "path=/d/quotes.csv&mode=hang&arg=100");
    const RawOutcome hung = RawAttempt(faulty.port(), GetRequest(kQuote), kPatience);
    EXPECT_EQ(hung.end, RawEnd::Closed);
    EXPECT_EQ(hung.bytes, "");

    SwitchFault(faulty.port(), "path=/d/quotes.csv&mode=stall&arg=100");
    const RawOutcome stalled = RawAttempt(faulty.port(), GetRequest(kQuote), kPatience);
    EXPECT_EQ(stalled.end, RawEnd::Closed);
    EXPECT_EQ(ParseRawResponse(stalled.bytes).body, "");
}

TEST_F(ConnectionFaults, StallSendsTheHeadersOfTheWholeAnswerAndNoBody) {
    SwitchFault(faulty.port(), "path=/d/quotes.csv&mode=stall");
    RawConnection connection(faulty.port());
    connection.Send(GetRequest(kQuote));
    const RawOutcome outcome = connection.Receive(kSilence);
    EXPECT_EQ(outcome.end, RawEnd::TimedOut);
    const RawResponse response = ParseRawResponse(outcome.bytes);
    EXPECT_EQ(response.status, 200);
    EXPECT_EQ(response.ContentLength(), static_cast<long long>(BodyOf(healthy.port(), kQuote).size()));
    EXPECT_EQ(response.body, "");
}

TEST_F(ConnectionFaults, TrickleSendsTheNormalAnswerAFewBytesAtATime) {
    constexpr std::uint64_t kBytesPerSecond = 20;
    const std::string whole = RawExchange(healthy.port(), GetRequest(kQuote));
    SwitchFault(faulty.port(), "path=/d/quotes.csv&mode=trickle&arg=" + std::to_string(kBytesPerSecond));
    const auto start = std::chrono::steady_clock::now();
    RawConnection connection(faulty.port());
    connection.Send(GetRequest(kQuote));
    const RawOutcome early = connection.Receive(kSilence);
    const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_EQ(early.end, RawEnd::TimedOut);
    EXPECT_FALSE(early.bytes.empty());
    // Never more than the rate allows (and a piece ahead).
    EXPECT_LE(early.bytes.size(), static_cast<std::size_t>(kBytesPerSecond * (seconds + 1)));
    EXPECT_EQ(early.bytes, whole.substr(0, early.bytes.size()));

    // Fast enough to wait for: the very same answer.
    SwitchFault(faulty.port(), "path=/d/quotes.csv&mode=trickle&arg=2000");
    const RawOutcome full = RawAttempt(faulty.port(), GetRequest(kQuote), kPatience);
    EXPECT_EQ(full.end, RawEnd::Closed);
    EXPECT_EQ(full.bytes, RawExchange(healthy.port(), GetRequest(kQuote)));
}

TEST_F(ConnectionFaults, CutEndsABodyWithoutLengthInsideItsLastLine) {
    SwitchFault(faulty.port(), "path=/uk/quotes.csv&mode=cut");
    const RawOutcome outcome = RawAttempt(faulty.port(), GetRequest(kLondonQuote), kPatience);
    const std::string whole = BodyOf(healthy.port(), kLondonQuote);
    EXPECT_EQ(outcome.end, RawEnd::Closed);
    const RawResponse response = ParseRawResponse(outcome.bytes);
    EXPECT_EQ(response.statusLine, "HTTP/1.0 200 OK");
    EXPECT_EQ(response.ContentLength(), -1);
    EXPECT_EQ(response.Header("connection"), "close");
    EXPECT_EQ(response.body, whole.substr(0, service::MiddleOfLastLine(whole)));
    EXPECT_GT(response.body.size(), whole.find('\n') + 1);  // the title line is whole
}

TEST_F(ConnectionFaults, BadChunkBreaksTheChunkedCodingAfterOneGoodChunk) {
    SwitchFault(faulty.port(), "path=/d/quotes.csv&mode=badchunk");
    const RawOutcome outcome = RawAttempt(faulty.port(), GetRequest(kQuote), kPatience);
    const std::string whole = BodyOf(healthy.port(), kQuote);
    EXPECT_EQ(outcome.end, RawEnd::Closed);
    const RawResponse response = ParseRawResponse(outcome.bytes);
    EXPECT_EQ(response.Header("transfer-encoding"), "chunked");
    EXPECT_EQ(response.ContentLength(), -1);

    std::smatch chunk;
    ASSERT_TRUE(std::regex_search(response.body, chunk, std::regex("^([0-9a-f]+)\r\n"))) << response.body;
    const std::size_t size = std::stoul(chunk[1], nullptr, 16);
    EXPECT_EQ(size, service::MiddleOfLastLine(whole));
    const std::string afterSize = response.body.substr(chunk.length());
    EXPECT_EQ(afterSize.substr(0, size), whole.substr(0, size));
    const std::string nextSize = afterSize.substr(size + 2, afterSize.find("\r\n", size + 2) - size - 2);
    EXPECT_FALSE(std::regex_match(nextSize, std::regex("[0-9a-fA-F]+"))) << nextSize;
}

TEST_F(ConnectionFaults, RedirectLoopPointsBackAtItselfForEver) {
    SwitchFault(faulty.port(), "path=/d/quotes.csv&mode=redirect-loop");
    for (int i = 0; i < 3; ++i) {
        const RawResponse response = RawGet(faulty.port(), kQuote);
        EXPECT_EQ(response.status, 302);
        EXPECT_EQ(response.Header("location"), faulty.Url(kQuote));
    }
    // A client that follows redirects gives up in the end.
    httplib::Client client("127.0.0.1", faulty.port());
    client.set_follow_location(true);
    const auto result = client.Get(kQuote);
    EXPECT_FALSE(result);
    EXPECT_EQ(result.error(), httplib::Error::ExceedRedirectCount);
}

TEST_F(ConnectionFaults, RedirectsToHttpsAndToADeadPortKeepTheTarget) {
    SwitchFault(faulty.port(), "path=/d/quotes.csv&mode=redirect-https");
    const RawResponse https = RawGet(faulty.port(), kQuote);
    EXPECT_EQ(https.status, 302);
    EXPECT_EQ(https.Header("location"), "https://127.0.0.1:" + std::to_string(faulty.port()) + kQuote);

    SwitchFault(faulty.port(), "path=/d/quotes.csv&mode=redirect-dead");
    const RawResponse dead = RawGet(faulty.port(), kQuote);
    EXPECT_EQ(dead.status, 302);
    std::smatch match;
    const std::string location = dead.Header("location");
    ASSERT_TRUE(std::regex_match(location, match, std::regex(R"(http://127\.0\.0\.1:(\d+)(/.*))"))) << location;
    const int deadPort = std::stoi(match[1]);
    EXPECT_NE(deadPort, faulty.port());
    EXPECT_EQ(match[2], kQuote);
    EXPECT_TRUE(ConnectionRefused(deadPort));
    // Still refused on the next redirect: the port stays the same and unused.
    EXPECT_EQ(RawGet(faulty.port(), kQuote).Header("location"), location);
}

TEST_F(ConnectionFaults, Html500AnswersAWebPageWithAnError) {
    SwitchFault(faulty.port(), "path=/d/quotes.csv&mode=html500");
    const RawResponse response = RawGet(faulty.port(), kQuote);
    EXPECT_EQ(response.status, 500);
    EXPECT_EQ(response.Header("content-type"), "text/html");
    EXPECT_EQ(response.body.rfind("<!DOCTYPE html>", 0), 0u);
    EXPECT_EQ(response.ContentLength(), static_cast<long long>(response.body.size()));
}

TEST_F(ConnectionFaults, BigSendsMegabytesOfQuoteLines) {
    constexpr std::size_t kMegabytes = 3;
    constexpr std::size_t kBytes = kMegabytes * 1024 * 1024;
    SwitchFault(faulty.port(), "path=/d/quotes.csv&mode=big&arg=" + std::to_string(kMegabytes));
    const RawResponse response = RawGet(faulty.port(), kQuote);
    EXPECT_EQ(response.status, 200);
    EXPECT_EQ(response.ContentLength(), static_cast<long long>(kBytes));
    ASSERT_EQ(response.body.size(), kBytes);
    const std::string& line = service::FillerQuoteLine();
    for (std::size_t at = 0; at + line.size() <= kBytes; at += line.size()) {
        ASSERT_EQ(response.body.compare(at, line.size(), line), 0) << at;
    }
}

TEST_F(ConnectionFaults, RequestsThatGetNoAnswerAreLoggedAllTheSame) {
    for (const char* mode : {"close", "reset", "hang&arg=50"}) {
        SwitchFault(faulty.port(), std::string("path=/help.html&mode=") + mode);
        RawAttempt(faulty.port(), GetRequest("/help.html", mode), kPatience);
    }
    const std::vector<std::string> lines = faulty.WaitForLogLines(6);
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(ParseLogLine(lines[1]).request, "GET\t/help.html\tHTTP/1.0\tclose");
    EXPECT_EQ(ParseLogLine(lines[3]).request, "GET\t/help.html\tHTTP/1.0\treset");
    EXPECT_EQ(ParseLogLine(lines[5]).request, "GET\t/help.html\tHTTP/1.0\thang&arg=50");
    ExpectOneConnectionEachInOrder(lines);
}

TEST(ConnectionFaultsAtStop, HeldConnectionsEndWithTheService) {
    constexpr int kHeld = 4;
    RunningService service;
    SwitchFault(service.port(), "path=/d/quotes.csv&mode=hang");
    SwitchFault(service.port(), "path=/uk/quotes.csv&mode=stall");
    std::vector<std::unique_ptr<RawConnection>> held;
    for (int i = 0; i < kHeld; ++i) {
        held.push_back(std::make_unique<RawConnection>(service.port()));
        held.back()->Send(GetRequest(i % 2 == 0 ? kQuote : kLondonQuote));
    }
    ASSERT_EQ(service.WaitForLogLines(2 + kHeld).size(), 2u + kHeld);
    // Ten minutes each, were it not for the stop.
    service.Stop();
    for (const auto& connection : held) EXPECT_NE(connection->Receive(kPatience).end, RawEnd::TimedOut);
}

}  // namespace
}  // namespace service_test
