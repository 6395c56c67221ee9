// The service in live mode over real HTTP, fed by local fakes of the
// sources: the bar's legacy lines, the detail page, /status, and keys that
// never show.
#include <gtest/gtest.h>

#include <chrono>
#include <regex>
#include <thread>

#include <nlohmann/json.hpp>

#include "fake_source.h"
#include "raw_http.h"
#include "running_service.h"
#include "service/server/service_core.h"

namespace service_test {
namespace {

const char* const kSecret = "SECRET-KEY-7f3a";

FakeAnswer ChartBySymbol(const FakeRequest& request) {
    const std::string symbol = request.path.substr(request.path.rfind('/') + 1);
    if (symbol == "VOD.L") return {200, ChartBody("VOD.L", 71.52, 72.1, "GBp", 0, "Europe/London")};
    if (symbol == "IBM") return {200, ChartBody("IBM", 182.63, 180.78)};
    return {404, ChartNotFoundBody()};
}

service::ServiceOptions LiveOptions(const FakeSource& chart) {
    service::ServiceOptions options;
    options.sources = {"chart"};
    options.providerUrls["chart"] = chart.Base();
    return options;
}

TEST(LiveMode, AnswersTheBarsLinesFromTheSource) {
    FakeSource chart(ChartBySymbol);
    RunningService service(LiveOptions(chart));
    EXPECT_EQ(BodyOf(service.port(), "/d/quotes.csv?f=sl1t1c1ghpv&s=IBM"),
              "\"IBM\",182.63,\"4:00PM\",+1.85,179.78,183.63,180.78,4321000\r\n");
    // London: the column titles first, the opening price last, pence as the source gives them.
    EXPECT_EQ(BodyOf(service.port(), "/uk/quotes.csv?f=sl1t1c1ghpvo&s=VOD.L"),
              "Symbol,Last Trade,Trade Time,Change,Day's Low,Day's High,Previous Close,Volume,Open\r\n"
              "\"VOD.L\",71.52,\"9:00PM\",-0.58,71.10,72.52,72.10,4321000,72.35\r\n");
    EXPECT_EQ(BodyOf(service.port(), "/d/quotes.csv?f=sl1t1c1ghpv&s=BOGUS"),
              "\"BOGUS\",N/A,\"N/A\",N/A,N/A,N/A,N/A,N/A\r\n");
    EXPECT_EQ(BodyOf(service.port(), "/d/quotes.csv?f=sl1t1c1ghpv&s=A%2FB"), "\"A/B\",N/A,\"N/A\",N/A,N/A,N/A,N/A,N/A\r\n");
    EXPECT_EQ(chart.RequestCount(), 3u) << "the implausible symbol never went upstream";
    EXPECT_EQ(BodyOf(service.port(), "/d/quotes.csv?f=sl1t1c1ghpv&s=IBM"),
              "\"IBM\",182.63,\"4:00PM\",+1.85,179.78,183.63,180.78,4321000\r\n");
    EXPECT_EQ(chart.RequestCount(), 3u) << "the second ask came from the cache";
}

TEST(LiveMode, SendsAClickToTheUsersDetailPageWithTheSourcesFormOfTheSymbol) {
    FakeSource chart([](const FakeRequest& request) {
        return FakeAnswer{200, ChartBody(request.path.substr(request.path.rfind('/') + 1), 411.5, 410)};
    });
    service::ServiceOptions options = LiveOptions(chart);
    options.detailUrl = "https://portal.example/quote/{symbol}";
    service::ServiceCore core(options, 8642);
    const service::Reply reply = core.Respond("/orvo.html", "s=BRK.B&v=5.6&ban=21").reply;
    EXPECT_EQ(reply.status, 302);
    ASSERT_EQ(reply.headers.size(), 1u);
    EXPECT_EQ(reply.headers[0].value, "https://portal.example/quote/BRK-B");
    EXPECT_EQ(chart.RequestsFor("/BRK-B"), 1u);
}

TEST(LiveMode, NeverInventsAPrice) {
    FakeSource chart;
    chart.AnswerAlways({503, "<html>down</html>", "text/html"});
    RunningService service(LiveOptions(chart));
    for (const char* symbol : {"IBM", "MSFT", "BOGUS"}) {
        EXPECT_EQ(BodyOf(service.port(), std::string("/d/quotes.csv?f=sl1t1c1ghpv&s=") + symbol),
                  "\"" + std::string(symbol) + "\",N/A,\"N/A\",N/A,N/A,N/A,N/A,N/A\r\n")
            << "no random walk in live mode";
    }
}

TEST(LiveMode, HostileAnswersGiveNoQuoteAndTheServiceGoesOn) {
    const std::size_t bodyCap = 2 * 1024 * 1024;
    const std::string deep(bodyCap / 4, '[');
    FakeSource chart([&](const FakeRequest& request) -> FakeAnswer {
        const std::string symbol = request.path.substr(request.path.rfind('/') + 1);
        // A good answer with a deep nest in it, an answer for another
        // symbol, a price no market has, and the body cap of '['.
        if (symbol == "NEST") {
            std::string body = ChartBody("NEST", 182.63, 180.78);
            body.insert(body.find("\"meta\":{") + 8, "\"x\":" + deep + std::string(deep.size(), ']') + ",");
            return {200, body};
        }
        if (symbol == "OTHER") return {200, ChartBody("MSFT", 410.5, 400)};
        if (symbol == "HUGE") return {200, ChartBody("HUGE", 1e308, 180.78)};
        if (symbol == "IBM") return {200, ChartBody("IBM", 182.63, 180.78)};
        return {200, std::string(bodyCap, '[')};
    });
    // A source that answers out of form is backed off for a while, so each
    // hostile answer gets a service of its own.
    for (const char* symbol : {"NEST", "OTHER", "HUGE", "BRACKETS"}) {
        SCOPED_TRACE(symbol);
        RunningService service(LiveOptions(chart));
        EXPECT_EQ(BodyOf(service.port(), std::string("/d/quotes.csv?f=sl1t1c1ghpv&s=") + symbol),
                  "\"" + std::string(symbol) + "\",N/A,\"N/A\",N/A,N/A,N/A,N/A,N/A\r\n");
        const auto status = nlohmann::json::parse(BodyOf(service.port(), "/status"));
        EXPECT_EQ(status["sources"][0]["answers"]["notTheFormat"], 1) << status.dump();
        // It goes on answering, and never with an invented price.
        EXPECT_EQ(BodyOf(service.port(), "/d/quotes.csv?f=sl1t1c1ghpv&s=IBM"),
                  "\"IBM\",N/A,\"N/A\",N/A,N/A,N/A,N/A,N/A\r\n");
    }
    RunningService fresh(LiveOptions(chart));
    EXPECT_EQ(BodyOf(fresh.port(), "/d/quotes.csv?f=sl1t1c1ghpv&s=IBM"),
              "\"IBM\",182.63,\"4:00PM\",+1.85,179.78,183.63,180.78,4321000\r\n");
}

TEST(LiveMode, AnswersTheBarInAFewSecondsWhateverTheSourcesDo) {
    FakeSource chart;
    chart.AnswerAlways({200, "{}", "application/json", {}, std::chrono::milliseconds(20000)});
    RunningService service(LiveOptions(chart));
    const auto started = std::chrono::steady_clock::now();
    const std::string body = BodyOf(service.port(), "/d/quotes.csv?f=sl1&s=A+B+C+D+E+F");
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5)) << "one patience for them all";
    EXPECT_EQ(body, "\"A\",N/A\r\n\"B\",N/A\r\n\"C\",N/A\r\n\"D\",N/A\r\n\"E\",N/A\r\n\"F\",N/A\r\n");
}

TEST(LiveMode, ShowsTheQuoteAndTheDaysChartOnTheDetailPage) {
    FakeSource chart(ChartBySymbol);
    RunningService service(LiveOptions(chart));
    const std::string page = BodyOf(service.port(), "/orvo.html?s=IBM&v=5.6&ban=21");
    EXPECT_NE(page.find("182.63"), std::string::npos);
    EXPECT_NE(page.find("+1.85 (+1.02%)"), std::string::npos);
    EXPECT_NE(page.find("<tr><td>Source</td><td>chart</td></tr>"), std::string::npos);
    EXPECT_NE(page.find("<polyline class=\"prices\""), std::string::npos);
    EXPECT_NE(page.find("Times in America/New_York (UTC-5)"), std::string::npos);
    EXPECT_NE(page.find(">10:00AM</text>"), std::string::npos) << "times along the axis";
    const std::string london = BodyOf(service.port(), "/orvo.html?s=vod.l&v=5.6&ban=21");
    EXPECT_NE(london.find("pence (GBp)"), std::string::npos);
    const std::string unknown = BodyOf(service.port(), "/orvo.html?s=BOGUS&v=5.6&ban=21");
    EXPECT_NE(unknown.find("No quote is available"), std::string::npos);
}

TEST(LiveMode, StatusShowsEachSourceAndNoKey) {
    FakeSource chart(ChartBySymbol);
    FakeSource finnhub;
    finnhub.AnswerAlways({401, R"({"error":"Invalid API key."})"});
    service::ServiceOptions options = LiveOptions(chart);
    options.sources = {"finnhub", "chart"};
    options.providerUrls["finnhub"] = finnhub.Base();
    options.keys["finnhub"] = kSecret;
    RunningService service(options);
    const std::string line = BodyOf(service.port(), "/d/quotes.csv?f=sl1t1c1ghpv&s=IBM");
    EXPECT_EQ(line.substr(0, 13), "\"IBM\",182.63,") << "fell over to the chart API";
    const std::string page = BodyOf(service.port(), "/orvo.html?s=IBM&v=5.6&ban=21");
    const RawResponse status = RawGet(service.port(), "/status");
    EXPECT_EQ(status.status, 200);
    const auto json = nlohmann::json::parse(status.body);
    EXPECT_EQ(json["mode"], "live");
    ASSERT_EQ(json["sources"].size(), 2u);
    EXPECT_EQ(json["sources"][0]["name"], "finnhub");
    EXPECT_EQ(json["sources"][0]["key"], "set");
    EXPECT_EQ(json["sources"][0]["answers"]["refused"], 1);
    EXPECT_EQ(json["sources"][1]["answers"]["quote"], 1);
    EXPECT_EQ(json["sources"][1]["cacheHits"], 1) << "the detail page's quote came from the cache";
    EXPECT_EQ(json["sources"][0]["cacheHits"], 0);
    EXPECT_NE(json["sources"][1]["lastSuccess"], "");
    EXPECT_EQ(json["cache"]["hits"], 1);
    std::string everything = status.body + line + page;
    for (const std::string& logged : service.LogLines()) everything += logged;
    EXPECT_EQ(everything.find(kSecret), std::string::npos);
    EXPECT_EQ(finnhub.Requests().at(0).headers.at("X-Finnhub-Token"), kSecret) << "the key did go to its source";
}

TEST(LiveMode, TheServerMessageSaysSoWhenNoSourceAnswers) {
    FakeSource chart;
    chart.AnswerAlways({503, "<html>down</html>", "text/html"});
    struct Case {
        const char* name;
        const char* message;
        const char* delayed;  // the whole message once the quotes are old
    };
    const Case cases[] = {
        {"after the items of a message", "Flash<127.0.0.1/f.html>",
         "Flash<127\\.0\\.0\\.1/f\\.html>, Quotes delayed: no source has answered since \\d{1,2}:\\d{2}"},
        {"alone when there is no message", "", "Quotes delayed: no source has answered since \\d{1,2}:\\d{2}"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        service::ServiceOptions options = LiveOptions(chart);
        options.cacheSeconds = 1;  // quotes are old after a second without an answer
        options.message = c.message;
        service::ServiceCore core(options, 8642);
        EXPECT_EQ(core.Respond("/getmessage.asp", "").reply.body, c.message) << "nothing is old yet";
        std::this_thread::sleep_for(std::chrono::milliseconds(1100));
        core.Respond("/d/quotes.csv", "f=sl1&s=IBM");
        const std::string message = core.Respond("/getmessage.asp", "").reply.body;
        EXPECT_TRUE(std::regex_match(message, std::regex(c.delayed))) << message;
    }
}

TEST(LiveMode, StatusSaysWhenQuotesAreSimulated) {
    RunningService service;
    EXPECT_EQ(nlohmann::json::parse(BodyOf(service.port(), "/status"))["mode"], "simulated");
}

}  // namespace
}  // namespace service_test
