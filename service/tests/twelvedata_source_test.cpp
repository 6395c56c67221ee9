#include "service/sources/twelvedata_source.h"

#include <gtest/gtest.h>

#include "fake_source.h"
#include "source_answers.h"

namespace service_test {
namespace {

using service::AnswerKind;
using service::ParseTwelveDataAnswer;

TEST(TwelveDataSource, ReadsNumbersWrittenAsStrings) {
    const auto answer = ParseTwelveDataAnswer(Response(200, TwelveDataBody("IBM", 182.63, 180.78)), "IBM");
    ASSERT_EQ(answer.kind, AnswerKind::Quote) << answer.reason;
    const service::LiveQuote& quote = *answer.quote;
    EXPECT_DOUBLE_EQ(*quote.last, 182.63);
    EXPECT_DOUBLE_EQ(*quote.previousClose, 180.78);
    EXPECT_DOUBLE_EQ(*quote.open, 181.03);
    EXPECT_DOUBLE_EQ(*quote.high, 183.63);
    EXPECT_DOUBLE_EQ(*quote.low, 179.78);
    EXPECT_EQ(*quote.volume, 1234567);
    EXPECT_EQ(*quote.time, 1796936400);
    EXPECT_EQ(*quote.utcOffsetSeconds, -5 * 3600);
    EXPECT_EQ(quote.timeZoneName, "America/New_York");
    EXPECT_EQ(quote.currency, "USD");
}

TEST(TwelveDataSource, TakesLondonsZoneFromItsExchange) {
    const auto answer = ParseTwelveDataAnswer(Response(200, TwelveDataBody("VOD", 71.5, 70.9, "LSE")), "VOD.L");
    ASSERT_EQ(answer.kind, AnswerKind::Quote);
    EXPECT_EQ(answer.quote->symbol, "VOD.L");
    EXPECT_EQ(*answer.quote->utcOffsetSeconds, 0) << "December: GMT";
    EXPECT_EQ(answer.quote->timeZoneName, "Europe/London");
    const auto elsewhere = ParseTwelveDataAnswer(Response(200, TwelveDataBody("X", 1, 1, "XETR")), "X");
    ASSERT_EQ(elsewhere.kind, AnswerKind::Quote);
    EXPECT_FALSE(elsewhere.quote->time) << "a time without its zone would be shown wrong";
}

TEST(TwelveDataSource, ClassifiesEveryWayItFails) {
    struct Case {
        const char* what;
        service::UpstreamResponse response;
        AnswerKind kind;
    };
    const Case cases[] = {
        {"unknown symbol",
         Response(200, R"({"code":400,"message":"**symbol** not found: BOGUS. Please specify it correctly","status":"error"})"),
         AnswerKind::Unknown},
        {"404 code", Response(200, R"({"code":404,"message":"Data not found","status":"error"})"), AnswerKind::Unknown},
        {"bad key", Response(200, R"({"code":401,"message":"**apikey** parameter is incorrect","status":"error"})"),
         AnswerKind::Refused},
        {"paid plan", Response(200, R"({"code":403,"message":"available starting with Grow","status":"error"})"),
         AnswerKind::Refused},
        {"credits used up", Response(200, R"({"code":429,"message":"run out of API credits","status":"error"})"),
         AnswerKind::Limited},
        {"429 status", Response(429, "", "60"), AnswerKind::Limited},
        {"server error code", Response(200, R"({"code":500,"message":"x","status":"error"})"), AnswerKind::Failed},
        {"close null", Response(200, R"({"symbol":"IBM","close":null})"), AnswerKind::Unknown},
        {"close not a number", Response(200, R"({"symbol":"IBM","close":"n/a"})"), AnswerKind::Unknown},
        {"no close", Response(200, R"({"symbol":"IBM"})"), AnswerKind::NotTheFormat},
        {"HTML with 200", Response(200, HtmlWallPage()), AnswerKind::NotTheFormat},
        {"500 page", Response(500, "<html></html>"), AnswerKind::Failed},
        {"dropped", NoAnswer(service::Transfer::Failed, "Server returned nothing"), AnswerKind::Failed},
    };
    for (const Case& c : cases) {
        const auto answer = ParseTwelveDataAnswer(c.response, "IBM");
        EXPECT_EQ(answer.kind, c.kind) << c.what << ": " << answer.reason;
        EXPECT_EQ(answer.quote.has_value(), c.kind == AnswerKind::Quote) << c.what;
    }
}

TEST(TwelveDataSource, AnAnswerForAnotherSymbolIsNotTheFormat) {
    struct Case {
        const char* what;
        std::string body;
        const char* asked;
        AnswerKind kind;
    };
    const Case cases[] = {
        {"the asked symbol", TwelveDataBody("IBM", 182.63, 180.78), "IBM", AnswerKind::Quote},
        {"London in its own form", TwelveDataBody("VOD", 71.5, 70.9, "LSE"), "VOD.L", AnswerKind::Quote},
        {"a currency pair in its own form", TwelveDataBody("EUR/USD", 1.08453, 1.08, "Forex"), "EURUSD=X",
         AnswerKind::Quote},
        {"another symbol", TwelveDataBody("MSFT", 410.5, 400), "IBM", AnswerKind::NotTheFormat},
        {"the same name on another exchange", TwelveDataBody("VOD", 9.5, 9.4, "NASDAQ"), "VOD.L",
         AnswerKind::NotTheFormat},
        {"the pair the other way round", TwelveDataBody("USD/EUR", 0.92, 0.93, "Forex"), "EURUSD=X",
         AnswerKind::NotTheFormat},
        {"a price beyond any market", TwelveDataBody("IBM", 1e300, 180.78), "IBM", AnswerKind::NotTheFormat},
    };
    for (const Case& c : cases) {
        const auto answer = ParseTwelveDataAnswer(Response(200, c.body), c.asked);
        EXPECT_EQ(answer.kind, c.kind) << c.what << ": " << answer.reason;
    }
}

TEST(TwelveDataSource, MapsSymbolsToItsOwnForms) {
    struct Case {
        const char* symbol;
        const char* url;  // nullptr: not served
    };
    const Case cases[] = {
        {"IBM", "https://td.test/quote?symbol=IBM"},
        {"VOD.L", "https://td.test/quote?symbol=VOD&exchange=LSE"},
        {"EURUSD=X", "https://td.test/quote?symbol=EUR%2FUSD"},
        {"^DJI", nullptr},
        {"SAP.DE", nullptr},
        {"BRK.B", "https://td.test/quote?symbol=BRK.B"},
        {"BRK-A", "https://td.test/quote?symbol=BRK.A"},
        {"AB=C", nullptr},
        {"IBM&x", nullptr},
    };
    for (const Case& c : cases) {
        const auto request = service::TwelveDataRequest("https://td.test", c.symbol, "SECRET");
        if (c.url == nullptr) {
            EXPECT_FALSE(request) << c.symbol;
            continue;
        }
        ASSERT_TRUE(request) << c.symbol;
        EXPECT_EQ(request->url, c.url);
        EXPECT_EQ(request->headers, std::vector<std::string>{"Authorization: apikey SECRET"});
    }
}

}  // namespace
}  // namespace service_test
