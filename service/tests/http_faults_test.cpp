// Each fault mode as a client on the wire sees it.
#include <gtest/gtest.h>
#include <httplib.h>

#include <algorithm>
#include <chrono>
#include <future>

#include "raw_http.h"
#include "running_service.h"
#include "service/server/service_core.h"

namespace service_test {
namespace {

const std::string kQuote = "/d/quotes.csv?f=sl1t1c1ghpv&s=IBM";
const std::string kLondonQuote = "/uk/quotes.csv?f=sl1t1c1ghpvo&s=VOD.L";

void SwitchFault(int port, const std::string& query) {
    const RawResponse response = RawGet(port, "/control/fault?" + query);
    ASSERT_EQ(response.status, 200) << query << ": " << response.body;
}

// Two services with the same seed give the same answers, so one of them
// shows what the other would have sent without its fault.
class Faults : public ::testing::Test {
protected:
    RunningService faulty;
    RunningService healthy;
};

TEST_F(Faults, StatusAnswersWithAnErrorAndABody) {
    SwitchFault(faulty.port(), "path=/d/quotes.csv&mode=status");
    RawResponse response = RawGet(faulty.port(), kQuote);
    EXPECT_EQ(response.status, 500);
    EXPECT_NE(response.body.find("500 Internal Server Error"), std::string::npos);

    SwitchFault(faulty.port(), "path=/d/quotes.csv&mode=status&arg=503");
    EXPECT_EQ(RawGet(faulty.port(), kQuote).status, 503);
    // Other paths answer as usual.
    EXPECT_EQ(RawGet(faulty.port(), "/exchanges.html").body, service::ExchangeList(faulty.port()));
}

TEST_F(Faults, EmptyAnswersOkWithoutBody) {
    SwitchFault(faulty.port(), "path=/getmessage.asp&mode=empty");
    const RawResponse response = RawGet(faulty.port(), "/getmessage.asp?ID=!VELMORIA!");
    EXPECT_EQ(response.status, 200);
    EXPECT_EQ(response.ContentLength(), 0);
    EXPECT_EQ(response.body, "");
}

TEST_F(Faults, TruncateDropsTheConnectionInTheMiddleOfTheLastLine) {
    SwitchFault(faulty.port(), "path=/uk/quotes.csv&mode=truncate");
    const RawResponse broken = RawGet(faulty.port(), kLondonQuote);
    const std::string whole = BodyOf(healthy.port(), kLondonQuote);
    EXPECT_EQ(broken.status, 200);
    EXPECT_EQ(broken.ContentLength(), static_cast<long long>(whole.size()));
    EXPECT_EQ(broken.body, whole.substr(0, service::MiddleOfLastLine(whole)));
    // The header line arrived whole, the data line did not.
    EXPECT_GT(broken.body.size(), whole.find('\n') + 1);

    SwitchFault(faulty.port(), "path=/uk/quotes.csv&mode=truncate&arg=5");
    EXPECT_EQ(RawGet(faulty.port(), kLondonQuote).body, "Symbo");
}

TEST_F(Faults, TruncateOfAnEmptyBodyStillPromisesMore) {
    ASSERT_EQ(RawGet(faulty.port(), "/control/message?text=").status, 200);
    SwitchFault(faulty.port(), "path=/getmessage.asp&mode=truncate");
    const RawResponse response = RawGet(faulty.port(), "/getmessage.asp?ID=1");
    EXPECT_EQ(response.ContentLength(), 1);
    EXPECT_EQ(response.body, "");
}

TEST_F(Faults, SlowAnswersLate) {
    constexpr auto kDelay = std::chrono::milliseconds(300);
    SwitchFault(faulty.port(), "path=/d/quotes.csv&mode=slow&arg=300");
    const auto start = std::chrono::steady_clock::now();
    const RawResponse response = RawGet(faulty.port(), kQuote);
    EXPECT_GE(std::chrono::steady_clock::now() - start, kDelay);
    EXPECT_EQ(response.body, BodyOf(healthy.port(), kQuote));
}

TEST_F(Faults, SlowAnswerIsCutShortByStop) {
    SwitchFault(faulty.port(), "path=/d/quotes.csv&mode=slow&arg=600000");
    auto pending = std::async(std::launch::async, [&] {
        try {
            return RawExchange(faulty.port(), "GET " + kQuote + " HTTP/1.0\r\n\r\n");
        } catch (const std::exception&) {
            return std::string("failed");
        }
    });
    faulty.WaitForLogLines(2);
    const auto start = std::chrono::steady_clock::now();
    faulty.Stop();
    // Ten minutes would be the delay; stopping must not sit it out.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(60));
    EXPECT_EQ(pending.get().find("\"IBM\""), std::string::npos);
}

TEST_F(Faults, RewriteLineEnds) {
    SwitchFault(faulty.port(), "path=/exchanges.html&mode=lf");
    const std::string lf = BodyOf(faulty.port(), "/exchanges.html");
    EXPECT_EQ(lf.find('\r'), std::string::npos);
    EXPECT_EQ(std::count(lf.begin(), lf.end(), '\n'), 2);

    SwitchFault(faulty.port(), "path=/exchanges.html&mode=crlf");
    EXPECT_EQ(BodyOf(faulty.port(), "/exchanges.html"), service::ExchangeList(faulty.port()));

    // A body that has no line end at all keeps its bytes.
    SwitchFault(faulty.port(), "path=/getmessage.asp&mode=crlf");
    EXPECT_EQ(BodyOf(faulty.port(), "/getmessage.asp?ID=1"), service::DefaultServerMessage(faulty.port()));
}

TEST_F(Faults, ZeroPutsAZeroByteIntoTheLine) {
    SwitchFault(faulty.port(), "path=/d/quotes.csv&mode=zero");
    const RawResponse response = RawGet(faulty.port(), kQuote);
    const std::string whole = BodyOf(healthy.port(), kQuote);
    ASSERT_EQ(response.body.size(), whole.size() + 1);
    EXPECT_EQ(response.ContentLength(), static_cast<long long>(whole.size() + 1));
    const std::size_t zero = response.body.find('\0');
    EXPECT_EQ(zero, service::MiddleOfLastLine(whole));
    EXPECT_EQ(std::string(response.body).erase(zero, 1), whole);
}

TEST_F(Faults, OversizedSendsTheWholeLength) {
    SwitchFault(faulty.port(), "path=/d/quotes.csv&mode=oversized");
    const RawResponse big = RawGet(faulty.port(), kQuote);
    EXPECT_EQ(big.ContentLength(), 10 * 1024 * 1024);
    ASSERT_EQ(big.body.size(), 10u * 1024 * 1024);
    const std::string line = BodyOf(healthy.port(), kQuote);
    EXPECT_EQ(big.body.substr(0, line.size() * 3), line + line + line);

    SwitchFault(faulty.port(), "path=/d/quotes.csv&mode=oversized&arg=1000");
    const RawResponse small = RawGet(faulty.port(), kQuote);
    EXPECT_EQ(small.ContentLength(), 1000);
    EXPECT_EQ(small.body.size(), 1000u);
    EXPECT_EQ(small.body.find("\"IBM\","), 0u);
}

TEST_F(Faults, AGlobalFaultHitsEveryPathButControl) {
    SwitchFault(faulty.port(), "mode=status&arg=502");
    for (const std::string& target :
         std::vector<std::string>{"/", "/help.html", "/exchanges.html", kQuote, "/nowhere"}) {
        EXPECT_EQ(RawGet(faulty.port(), target).status, 502) << target;
    }
    // A path's own fault wins over the global one.
    SwitchFault(faulty.port(), "path=/help.html&mode=empty");
    EXPECT_EQ(RawGet(faulty.port(), "/help.html").status, 200);
    EXPECT_EQ(RawGet(faulty.port(), "/help.html").body, "");
    SwitchFault(faulty.port(), "path=*&mode=none");
    EXPECT_EQ(RawGet(faulty.port(), "/exchanges.html").status, 200);
    EXPECT_EQ(RawGet(faulty.port(), "/help.html").body, "");
}

TEST(FaultsFromStart, AreInForceAtTheFirstRequest) {
    service::ServiceOptions options;
    options.faults.push_back(*service::ParsePathFault("/getmessage.asp=status:404"));
    options.faults.push_back(*service::ParsePathFault("*=lf"));
    RunningService service(options);
    EXPECT_EQ(RawGet(service.port(), "/getmessage.asp?ID=1").status, 404);
    EXPECT_EQ(BodyOf(service.port(), "/exchanges.html").find('\r'), std::string::npos);
    ASSERT_EQ(RawGet(service.port(), "/control/reset").status, 200);
    EXPECT_EQ(RawGet(service.port(), "/getmessage.asp?ID=1").status, 200);
    EXPECT_NE(BodyOf(service.port(), "/exchanges.html").find('\r'), std::string::npos);
}

TEST_F(Faults, ACountedFaultSpoilsThatManyAnswersThenThePathIsHealthy) {
    SwitchFault(faulty.port(), "path=/d/quotes.csv&mode=status&arg=503&count=once");
    EXPECT_EQ(RawGet(faulty.port(), kQuote).status, 503);
    EXPECT_EQ(RawGet(faulty.port(), kQuote).status, 200);

    // A client that follows redirects gets through after three of them.
    SwitchFault(faulty.port(), "path=/d/quotes.csv&mode=redirect-loop&count=3");
    httplib::Client client("127.0.0.1", faulty.port());
    client.set_follow_location(true);
    const auto response = client.Get(kQuote);
    ASSERT_TRUE(response);
    EXPECT_EQ(response->status, 200);
    EXPECT_EQ(response->body.find("\"IBM\","), 0u);
    const std::vector<std::string> lines = faulty.LogLines();
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                            [](const std::string& line) { return line.find(kQuote) != std::string::npos; }),
              2 + 4);

    SwitchFault(faulty.port(), "path=/d/quotes.csv&mode=empty&count=always");
    for (int i = 0; i < 3; ++i) EXPECT_EQ(RawGet(faulty.port(), kQuote).body, "");
}

TEST_F(Faults, ASymbolsFaultSparesTheOtherSymbols) {
    const std::string both = "/d/quotes.csv?f=sl1t1c1ghpv&s=IBM+XYZ";
    const std::string london = "/uk/quotes.csv?f=sl1t1c1ghpvo&s=XYZ";
    SwitchFault(faulty.port(), "path=/d/quotes.csv&symbol=xyz&mode=close");
    EXPECT_EQ(RawGet(faulty.port(), kQuote).status, 200);
    EXPECT_EQ(RawAttempt(faulty.port(), GetRequest(both), std::chrono::seconds(10)).bytes, "");
    EXPECT_EQ(RawGet(faulty.port(), london).status, 200);

    // Without a path, both quote sources.
    SwitchFault(faulty.port(), "symbol=XYZ&mode=status&arg=502");
    EXPECT_EQ(RawGet(faulty.port(), london).status, 502);
    SwitchFault(faulty.port(), "path=/d/quotes.csv&symbol=xyz&mode=none");
    EXPECT_EQ(RawGet(faulty.port(), both).status, 502);
    EXPECT_EQ(RawGet(faulty.port(), kQuote).status, 200);
}

}  // namespace
}  // namespace service_test
