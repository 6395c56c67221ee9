// Changing the service while it runs, the way a test of the ticker does.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>

#include "raw_http.h"
#include "running_service.h"
#include "service/server/service_core.h"

namespace service_test {
namespace {

const std::string kQuote = "/d/quotes.csv?f=sl1t1c1ghpv&s=IBM";

std::vector<std::string> Quotes(int port, int count) {
    std::vector<std::string> bodies;
    for (int i = 0; i < count; ++i) bodies.push_back(BodyOf(port, kQuote));
    return bodies;
}

TEST(ControlMessage, ReplacesTheServerMessageUntilReset) {
    RunningService service;
    const std::string port = std::to_string(service.port());
    ASSERT_EQ(RawGet(service.port(), "/control/message?text=Alert%3C%7Bhost%7D%2Fnews.html%3E%2C+IBM").status, 200);
    EXPECT_EQ(BodyOf(service.port(), "/getmessage.asp?ID=!VELMORIA!"), "Alert<127.0.0.1:" + port + "/news.html>, IBM");

    ASSERT_EQ(RawGet(service.port(), "/control/message?text=").status, 200);
    EXPECT_EQ(BodyOf(service.port(), "/getmessage.asp?ID=!VELMORIA!"), "");

    ASSERT_EQ(RawGet(service.port(), "/control/reset").status, 200);
    EXPECT_EQ(BodyOf(service.port(), "/getmessage.asp?ID=!VELMORIA!"), service::DefaultServerMessage(service.port()));
}

TEST(ControlMessage, ResetReturnsToTheMessageGivenAtStart) {
    service::ServiceOptions options;
    options.message = "Start<{host}/a.html>";
    RunningService service(options);
    ASSERT_EQ(RawGet(service.port(), "/control/message?text=Other").status, 200);
    ASSERT_EQ(RawGet(service.port(), "/control/reset").status, 200);
    EXPECT_EQ(BodyOf(service.port(), "/getmessage.asp?ID=1"),
              "Start<127.0.0.1:" + std::to_string(service.port()) + "/a.html>");
}

TEST(ControlReseed, ReplaysTheWalk) {
    RunningService service;
    const auto first = Quotes(service.port(), 3);
    ASSERT_EQ(RawGet(service.port(), "/control/reseed").status, 200);
    EXPECT_EQ(Quotes(service.port(), 3), first);
}

TEST(ControlReseed, TakesANewSeed) {
    service::ServiceOptions seven;
    seven.seed = 7;
    RunningService reference(seven);
    RunningService service;
    ASSERT_EQ(RawGet(service.port(), "/control/reseed?seed=7").status, 200);
    EXPECT_EQ(Quotes(service.port(), 4), Quotes(reference.port(), 4));
}

TEST(RandomWalkOverHttp, SameSeedSameAnswersOtherSeedOtherAnswers) {
    service::ServiceOptions options;
    options.seed = 1234;
    RunningService first(options);
    RunningService second(options);
    options.seed = 4321;
    RunningService other(options);
    const std::vector<std::string> targets = {kQuote, "/uk/quotes.csv?f=sl1t1c1ghpvo&s=VOD.L", kQuote,
                                              "/d/quotes.csv?f=sl1t1c1ghpv&s=MSFT", kQuote};
    bool differed = false;
    for (const std::string& target : targets) {
        const std::string body = BodyOf(first.port(), target);
        EXPECT_EQ(body, BodyOf(second.port(), target)) << target;
        differed |= body != BodyOf(other.port(), target);
    }
    EXPECT_TRUE(differed);
}

TEST(ControlPin, FixesAQuoteLineUntilUnpinned) {
    RunningService service;
    RunningService reference;
    const std::string zeroChange = "\"IBM\",123.50,\"4:00PM\",0.00,120.00,124.00,123.50,100\r\n";
    ASSERT_EQ(RawGet(service.port(),
                     "/control/pin?symbol=ibm&line=%22IBM%22%2C123.50%2C%224%3A00PM%22%2C0.00%2C120.00%2C124.00%2C"
                     "123.50%2C100%0D%0A")
                  .status,
              200);
    EXPECT_EQ(BodyOf(service.port(), kQuote), zeroChange);
    const std::string london = BodyOf(service.port(), "/uk/quotes.csv?s=IBM");
    EXPECT_EQ(london.substr(london.find('\n') + 1), zeroChange);
    ASSERT_EQ(RawGet(service.port(), "/control/unpin?symbol=IBM").status, 200);
    EXPECT_EQ(BodyOf(service.port(), kQuote), BodyOf(reference.port(), kQuote));
}

TEST(ControlExchanges, ServesTheListExactlyAsSet) {
    RunningService service;
    const std::string port = std::to_string(service.port());
    // White space around both parts, a comma inside the address, a duplicate
    // key, a line without a comma and an empty line.
    ASSERT_EQ(RawGet(service.port(), "/control/exchanges?text=+%2C+http%3A%2F%2F%7Bhost%7D%2Fd%2Fquotes.csv%3Ff%3Da%2Cb"
                                     "+%0D%0AL%2Cx%0D%0AL%2Cy%0D%0Anothing%0D%0A%0D%0A")
                  .status,
              200);
    EXPECT_EQ(BodyOf(service.port(), "/exchanges.html"),
              " , http://127.0.0.1:" + port + "/d/quotes.csv?f=a,b \r\nL,x\r\nL,y\r\nnothing\r\n\r\n");
    ASSERT_EQ(RawGet(service.port(), "/control/reset").status, 200);
    EXPECT_EQ(BodyOf(service.port(), "/exchanges.html"), service::ExchangeList(service.port()));
}

// Requests held open without an answer must not keep a test from the
// control paths, however many there are.
TEST(ControlUnderLoad, AnswersWhileHangingRequestsHoldManyConnections) {
    constexpr int kHanging = 32;
    RunningService service;
    ASSERT_EQ(RawGet(service.port(), "/control/fault?mode=hang").status, 200);
    std::vector<std::unique_ptr<RawConnection>> hanging;
    for (int i = 0; i < kHanging; ++i) {
        hanging.push_back(std::make_unique<RawConnection>(service.port()));
        hanging.back()->Send(GetRequest(kQuote));
    }
    ASSERT_EQ(service.WaitForLogLines(1 + kHanging).size(), 1u + kHanging);

    const RawOutcome control = RawAttempt(service.port(), GetRequest("/control/reset"), std::chrono::seconds(10));
    ASSERT_EQ(control.end, RawEnd::Closed);
    EXPECT_EQ(ParseRawResponse(control.bytes).status, 200);
    EXPECT_EQ(RawGet(service.port(), "/help.html").status, 200);
    // Those already hanging go on hanging.
    EXPECT_EQ(hanging.front()->Receive(std::chrono::milliseconds(100)).end, RawEnd::TimedOut);
    hanging.clear();
    EXPECT_TRUE(service.WaitForOpenConnectionsAtMost(0));
}

TEST(ControlUnderLoad, BeyondTheConnectionLimitOnlyControlIsServed) {
    constexpr std::size_t kLimit = 4;
    service::ServiceOptions options;
    options.connectionLimit = kLimit;
    RunningService service(options);
    ASSERT_EQ(RawGet(service.port(), "/control/fault?path=/d/quotes.csv&mode=hang").status, 200);
    // Until its thread is done, the control connection still counts.
    ASSERT_TRUE(service.WaitForOpenConnectionsAtMost(0));
    std::vector<std::unique_ptr<RawConnection>> hanging;
    for (std::size_t i = 0; i < kLimit; ++i) {
        hanging.push_back(std::make_unique<RawConnection>(service.port()));
        hanging.back()->Send(GetRequest(kQuote));
    }
    ASSERT_EQ(service.WaitForLogLines(1 + kLimit).size(), 1u + kLimit);

    EXPECT_EQ(RawGet(service.port(), "/help.html").status, 503);
    EXPECT_EQ(RawGet(service.port(), "/control/fault?path=/d/quotes.csv&mode=none").status, 200);
    hanging.pop_back();
    ASSERT_TRUE(service.WaitForOpenConnectionsAtMost(kLimit - 1));
    EXPECT_EQ(RawGet(service.port(), "/help.html").status, 200);
}

}  // namespace
}  // namespace service_test
