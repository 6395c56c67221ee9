#include "service/sources/finnhub_source.h"

#include <gtest/gtest.h>

#include "fake_source.h"
#include "source_answers.h"

namespace service_test {
namespace {

using service::AnswerKind;
using service::ParseFinnhubAnswer;

TEST(FinnhubSource, ReadsTheDocumentedAnswerWithNewYorksTime) {
    const auto answer = ParseFinnhubAnswer(
        Response(200, R"({"c":182.63,"d":1.85,"dp":1.0239,"h":183.12,"l":180.97,"o":181.05,"pc":180.78,"t":1704067200})"),
        "IBM");
    ASSERT_EQ(answer.kind, AnswerKind::Quote) << answer.reason;
    const service::LiveQuote& quote = *answer.quote;
    EXPECT_DOUBLE_EQ(*quote.last, 182.63);
    EXPECT_DOUBLE_EQ(*quote.change, 1.85);
    EXPECT_DOUBLE_EQ(*quote.high, 183.12);
    EXPECT_DOUBLE_EQ(*quote.low, 180.97);
    EXPECT_DOUBLE_EQ(*quote.open, 181.05);
    EXPECT_DOUBLE_EQ(*quote.previousClose, 180.78);
    EXPECT_FALSE(quote.volume) << "Finnhub gives no volume";
    EXPECT_EQ(*quote.time, 1704067200);
    EXPECT_EQ(*quote.utcOffsetSeconds, -5 * 3600) << "January: EST";
    EXPECT_EQ(quote.timeZoneName, "America/New_York");
    EXPECT_TRUE(quote.series.empty());
}

TEST(FinnhubSource, ClassifiesEveryWayItFails) {
    struct Case {
        const char* what;
        service::UpstreamResponse response;
        AnswerKind kind;
    };
    const Case cases[] = {
        {"unknown symbol", Response(200, R"({"c":0,"d":null,"dp":null,"h":0,"l":0,"o":0,"pc":0,"t":0})"),
         AnswerKind::Unknown},
        {"price null", Response(200, R"({"c":null,"d":null})"), AnswerKind::Unknown},
        {"price negative", Response(200, R"({"c":-3})"), AnswerKind::Unknown},
        {"no price field", Response(200, R"({"d":1})"), AnswerKind::NotTheFormat},
        {"bad key", Response(401, R"({"error":"Invalid API key."})"), AnswerKind::Refused},
        {"not in the plan", Response(403, R"({"error":"You don't have access to this resource."})"),
         AnswerKind::Refused},
        {"error with 200", Response(200, R"({"error":"Something went wrong"})"), AnswerKind::Failed},
        {"429", Response(429, R"({"error":"API limit reached. Please try again later."})"), AnswerKind::Limited},
        {"HTML with 200", Response(200, HtmlWallPage()), AnswerKind::NotTheFormat},
        {"502", Response(502, "Bad Gateway"), AnswerKind::Failed},
        {"time-out", NoAnswer(service::Transfer::TimedOut, "no answer in time"), AnswerKind::Failed},
    };
    for (const Case& c : cases) {
        const auto answer = ParseFinnhubAnswer(c.response, "IBM");
        EXPECT_EQ(answer.kind, c.kind) << c.what << ": " << answer.reason;
        EXPECT_EQ(answer.quote.has_value(), c.kind == AnswerKind::Quote) << c.what;
    }
}

TEST(FinnhubSource, NullFieldsBesideThePriceAreMissing) {
    const auto answer = ParseFinnhubAnswer(Response(200, R"({"c":"12.5","d":null,"h":"x","pc":null,"t":null})"), "X");
    ASSERT_EQ(answer.kind, AnswerKind::Quote);
    EXPECT_DOUBLE_EQ(*answer.quote->last, 12.5);
    EXPECT_FALSE(answer.quote->change);
    EXPECT_FALSE(answer.quote->high);
    EXPECT_FALSE(answer.quote->previousClose);
    EXPECT_FALSE(answer.quote->time);
    EXPECT_FALSE(answer.quote->utcOffsetSeconds);
}

TEST(FinnhubSource, PutsTheKeyInAHeaderNeverInTheAddress) {
    const auto request = service::FinnhubRequest("https://fh.test", "BRK-B", "SECRET");
    ASSERT_TRUE(request);
    EXPECT_EQ(request->url, "https://fh.test/api/v1/quote?symbol=BRK-B");
    ASSERT_EQ(request->headers.size(), 1u);
    EXPECT_EQ(request->headers[0], "X-Finnhub-Token: SECRET");
    EXPECT_EQ(request->url.find("SECRET"), std::string::npos);
    for (const char* notServed : {"^DJI", "EURUSD=X", "A&token=x", "", "VOD.L", "SAP.DE", "RY.TO"}) {
        EXPECT_FALSE(service::FinnhubRequest("https://fh.test", notServed, "K")) << notServed;
    }
}

TEST(FinnhubSource, AsksForClassSharesInItsOwnForm) {
    for (const char* symbol : {"BRK.B", "BRK-B"}) {
        const auto request = service::FinnhubRequest("https://fh.test", symbol, "K");
        ASSERT_TRUE(request) << symbol;
        EXPECT_EQ(request->url, "https://fh.test/api/v1/quote?symbol=BRK-B") << symbol;
    }
}

}  // namespace
}  // namespace service_test
