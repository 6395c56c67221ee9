// Changing the service while it runs, the way a test of the ticker does.
#include <gtest/gtest.h>

#include "raw_http.h"
#include "running_service.h"
#include "service/service_core.h"

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

}  // namespace
}  // namespace service_test
