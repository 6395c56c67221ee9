#include "service/sources/chart_source.h"

#include <gtest/gtest.h>

#include "fake_source.h"
#include "source_answers.h"

namespace service_test {
namespace {

using service::AnswerKind;
using service::ParseChartAnswer;

TEST(ChartSource, ReadsTheDocumentedAnswer) {
    const auto answer = ParseChartAnswer(Response(200, ChartBody("IBM", 182.63, 180.78)), "IBM");
    ASSERT_EQ(answer.kind, AnswerKind::Quote) << answer.reason;
    const service::LiveQuote& quote = *answer.quote;
    EXPECT_EQ(quote.symbol, "IBM");
    EXPECT_DOUBLE_EQ(*quote.last, 182.63);
    EXPECT_DOUBLE_EQ(*quote.previousClose, 180.78);
    EXPECT_DOUBLE_EQ(*quote.high, 183.63);
    EXPECT_DOUBLE_EQ(*quote.low, 179.78);
    EXPECT_DOUBLE_EQ(*quote.open, 181.03) << "the first bar's open";
    EXPECT_EQ(*quote.volume, 4321000);
    EXPECT_EQ(*quote.time, 1796936400);
    EXPECT_EQ(*quote.utcOffsetSeconds, -18000);
    EXPECT_EQ(quote.timeZoneName, "America/New_York");
    EXPECT_EQ(quote.currency, "USD");
    EXPECT_EQ(quote.series.size(), 72u) << "78 points less the six nulls";
    EXPECT_EQ(quote.series.back().time, 1796936400);
    EXPECT_DOUBLE_EQ(quote.series.back().price, 182.63);
}

TEST(ChartSource, KeepsPenceForLondon) {
    const auto answer = ParseChartAnswer(Response(200, ChartBody("VOD.L", 71.52, 70.9, "GBp", 0, "Europe/London")),
                                         "VOD.L");
    ASSERT_EQ(answer.kind, AnswerKind::Quote);
    EXPECT_DOUBLE_EQ(*answer.quote->last, 71.52);
    EXPECT_EQ(answer.quote->currency, "GBp");
    EXPECT_EQ(*answer.quote->utcOffsetSeconds, 0);
}

TEST(ChartSource, ClassifiesEveryWayItFails) {
    struct Case {
        const char* what;
        service::UpstreamResponse response;
        AnswerKind kind;
    };
    const Case cases[] = {
        {"unknown symbol", Response(404, ChartNotFoundBody()), AnswerKind::Unknown},
        {"unknown symbol with 200", Response(200, ChartNotFoundBody()), AnswerKind::Unknown},
        {"empty result", Response(200, R"({"chart":{"result":[],"error":null}})"), AnswerKind::Unknown},
        {"null result, other error", Response(200, R"({"chart":{"result":null,"error":{"code":"Bad Request"}}})"),
         AnswerKind::Failed},
        {"price zero", Response(200, ChartBody("X", 0, 10)), AnswerKind::Unknown},
        {"price null", Response(200, R"({"chart":{"result":[{"meta":{"regularMarketPrice":null}}]}})"),
         AnswerKind::Unknown},
        {"no meta", Response(200, R"({"chart":{"result":[{"timestamp":[1]}]}})"), AnswerKind::NotTheFormat},
        {"meta of the wrong type", Response(200, R"({"chart":{"result":[{"meta":[1,2]}]}})"), AnswerKind::NotTheFormat},
        {"HTML with 200", Response(200, HtmlWallPage()), AnswerKind::NotTheFormat},
        {"empty body", Response(200, ""), AnswerKind::NotTheFormat},
        {"JSON array", Response(200, "[1,2,3]"), AnswerKind::NotTheFormat},
        {"other JSON", Response(200, R"({"quoteResponse":{}})"), AnswerKind::NotTheFormat},
        {"truncated JSON", Response(200, ChartBody("IBM", 1, 1).substr(0, 200)), AnswerKind::NotTheFormat},
        // As deep as the body cap allows: neither parsing nor freeing it may recurse that deep.
        {"deeply nested JSON", Response(200, std::string(1 << 20, '[') + std::string(1 << 20, ']')),
         AnswerKind::NotTheFormat},
        {"deeply nested chart",
         Response(200, "{\"chart\":" + std::string(1 << 20, '[') + std::string(1 << 20, ']') + "}"),
         AnswerKind::NotTheFormat},
        {"429 without Retry-After", Response(429, "Too Many Requests"), AnswerKind::Limited},
        {"429 with Retry-After", Response(429, "", "30"), AnswerKind::Limited},
        {"401", Response(401, R"({"finance":{"error":{"code":"Unauthorized"}}})"), AnswerKind::Refused},
        {"403 for a data centre", Response(403, HtmlWallPage()), AnswerKind::Refused},
        {"500 page", Response(500, "<html>oops</html>"), AnswerKind::Failed},
        {"503 with chart JSON", Response(503, ChartBody("IBM", 1, 1)), AnswerKind::Failed},
        {"time-out", NoAnswer(service::Transfer::TimedOut, "no answer in time"), AnswerKind::Failed},
        {"too large", NoAnswer(service::Transfer::TooLarge, "answer larger than"), AnswerKind::Failed},
        {"dropped", NoAnswer(service::Transfer::Failed, "Server returned nothing"), AnswerKind::Failed},
    };
    for (const Case& c : cases) {
        const auto answer = ParseChartAnswer(c.response, "IBM");
        EXPECT_EQ(answer.kind, c.kind) << c.what << ": " << answer.reason;
        EXPECT_EQ(answer.quote.has_value(), c.kind == AnswerKind::Quote) << c.what;
    }
    EXPECT_EQ(ParseChartAnswer(Response(429, "", "30"), "IBM").retryAfter, "30");
}

TEST(ChartSource, AnAnswerForAnotherSymbolOrAnImplausiblePriceIsNotTheFormat) {
    struct Case {
        const char* what;
        std::string body;
        const char* asked;
        AnswerKind kind;
    };
    const std::string deepInMeta = R"({"chart":{"result":[{"meta":{"symbol":"IBM","regularMarketPrice":5,"x":)" +
                                   std::string(100, '[') + std::string(100, ']') + "}}]}}";
    const std::string smallPrice =
        R"({"chart":{"result":[{"meta":{"symbol":"SHIB-USD","regularMarketPrice":0.00001234,"previousClose":1.221e-5,)"
        R"("regularMarketDayLow":0.0000120,"regularMarketDayHigh":0.0000125}}]}})";
    const Case cases[] = {
        {"the asked symbol", ChartBody("IBM", 182.63, 180.78), "IBM", AnswerKind::Quote},
        {"in another case", ChartBody("eurusd=x", 1.08453, 1.08), "EURUSD=X", AnswerKind::Quote},
        {"an index", ChartBody("^DJI", 37305.16, 37100), "^DJI", AnswerKind::Quote},
        {"another symbol", ChartBody("MSFT", 410.5, 400), "IBM", AnswerKind::NotTheFormat},
        {"a small price", smallPrice, "SHIB-USD", AnswerKind::Quote},
        {"a price beyond any market", ChartBody("IBM", 1e308, 180.78), "IBM", AnswerKind::NotTheFormat},
        {"a previous close beyond any market", ChartBody("IBM", 182.63, 1e13), "IBM", AnswerKind::NotTheFormat},
        {"a negative price", ChartBody("IBM", -5, 180.78), "IBM", AnswerKind::Unknown},
        {"a previous close below any market", ChartBody("IBM", 182.63, -1), "IBM", AnswerKind::NotTheFormat},
        {"nested deeper than any answer", deepInMeta, "IBM", AnswerKind::NotTheFormat},
    };
    for (const Case& c : cases) {
        const auto answer = ParseChartAnswer(Response(200, c.body), c.asked);
        EXPECT_EQ(answer.kind, c.kind) << c.what << ": " << answer.reason;
        EXPECT_EQ(answer.quote.has_value(), c.kind == AnswerKind::Quote) << c.what;
    }
}

TEST(ChartSource, MissingFieldsStayMissing) {
    const auto answer =
        ParseChartAnswer(Response(200, R"({"chart":{"result":[{"meta":{"regularMarketPrice":12.5,
            "regularMarketVolume":null,"gmtoffset":"x","previousClose":"11"},
            "timestamp":[1,2,"3",4],"indicators":{"quote":[{"close":[1.5,null,2.5]}]}}]}})"),
                         "X");
    ASSERT_EQ(answer.kind, AnswerKind::Quote);
    const service::LiveQuote& quote = *answer.quote;
    EXPECT_DOUBLE_EQ(*quote.last, 12.5);
    EXPECT_FALSE(quote.volume);
    EXPECT_FALSE(quote.utcOffsetSeconds);
    EXPECT_FALSE(quote.time);
    EXPECT_FALSE(quote.high);
    EXPECT_FALSE(quote.open);
    EXPECT_DOUBLE_EQ(*quote.previousClose, 11) << "a number in a string is still read";
    ASSERT_EQ(quote.series.size(), 1u) << "points without a time or a close are left out";
    EXPECT_EQ(quote.series[0].time, 1);
}

TEST(ChartSource, KeepsNoLongOrUnprintableNamesWithAQuote) {
    const std::string huge(100000, 'Z');
    const auto answer = ParseChartAnswer(
        Response(200, R"({"chart":{"result":[{"meta":{"regularMarketPrice":1,"currency":"US\u0007D",
            "exchangeTimezoneName":")" + huge + R"("}}]}})"),
        "X");
    ASSERT_EQ(answer.kind, AnswerKind::Quote) << answer.reason;
    EXPECT_EQ(answer.quote->currency, "");
    EXPECT_EQ(answer.quote->timeZoneName, "") << "a cached quote stays small whatever the source sends";
}

TEST(ChartSource, AsksForOneSymbolEscapedInABrowsersName) {
    struct Case {
        const char* symbol;
        const char* path;
    };
    const Case cases[] = {
        {"IBM", "/v8/finance/chart/IBM?range=1d&interval=5m"},
        {"VOD.L", "/v8/finance/chart/VOD.L?range=1d&interval=5m"},
        {"^DJI", "/v8/finance/chart/%5EDJI?range=1d&interval=5m"},
        {"EURUSD=X", "/v8/finance/chart/EURUSD%3DX?range=1d&interval=5m"},
        {"BRK.B", "/v8/finance/chart/BRK-B?range=1d&interval=5m"},
        {"BF-B", "/v8/finance/chart/BF-B?range=1d&interval=5m"},
    };
    for (const Case& c : cases) {
        const auto request = service::ChartRequest("https://chart.test", c.symbol, "");
        ASSERT_TRUE(request) << c.symbol;
        EXPECT_EQ(request->url, std::string("https://chart.test") + c.path);
        EXPECT_NE(request->userAgent.find("Mozilla/5.0"), std::string::npos);
        EXPECT_TRUE(request->headers.empty());
    }
    for (const char* implausible : {"", "IBM/../X", "A B", "IBM?x=1", "ibm", "^", "^^DJI", "ABCDEFGHIJKLMNOPQ", "IBM#"}) {
        EXPECT_FALSE(service::ChartRequest("https://chart.test", implausible, "")) << implausible;
    }
}

}  // namespace
}  // namespace service_test
