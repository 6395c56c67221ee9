// The gateway against local fakes of the sources: caching, one request in
// flight, fall-over, limits, back-off, stale serving and its bounds.
#include "service/sources/live_gateway.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <future>
#include <nlohmann/json.hpp>

#include "fake_source.h"
#include "service/sources/ask_source.h"

namespace service_test {
namespace {

using namespace std::chrono_literals;
using service::ConfiguredSource;
using service::GatewaySettings;
using service::LiveGateway;

// The symbol from a chart request's path.
std::string ChartSymbol(const FakeRequest& request) { return request.path.substr(request.path.rfind('/') + 1); }

FakeAnswer ChartQuote(const FakeRequest& request) { return {200, ChartBody(ChartSymbol(request), 100.5, 100)}; }

ConfiguredSource Source(const char* name, const FakeSource& fake, const std::string& key = "") {
    const service::SourceAdapter* adapter = service::FindSourceAdapter(name);
    return {adapter, fake.Base(), key, adapter->perMinute, adapter->perDay};
}

GatewaySettings Quick() {
    GatewaySettings settings;
    settings.answerPatience = 1500ms;
    settings.upstream.connectTimeout = 1000ms;
    settings.upstream.totalTimeout = 2000ms;
    return settings;
}

nlohmann::json Status(LiveGateway& gateway) { return nlohmann::json::parse(gateway.StatusJson()); }

// Simulated clocks for the gateway, moved on by the test.
class SimulatedClock {
public:
    void Advance(std::chrono::seconds by) { offset_ += by.count(); }
    service::SteadyClock::time_point Steady() const { return kSteadyStart + std::chrono::seconds(offset_.load()); }
    service::WallClock::time_point Wall() const { return kWallStart + std::chrono::seconds(offset_.load()); }
    GatewaySettings On(GatewaySettings settings) const {
        settings.steadyNow = [this] { return Steady(); };
        settings.wallNow = [this] { return Wall(); };
        return settings;
    }

private:
    static constexpr service::SteadyClock::time_point kSteadyStart{std::chrono::hours(1000)};
    static constexpr service::WallClock::time_point kWallStart{std::chrono::seconds(1765449720)};
    std::atomic<std::int64_t> offset_{0};
};

TEST(LiveGateway, AsksOncePerSymbolPerCachePeriod) {
    FakeSource chart(ChartQuote);
    LiveGateway gateway({Source("chart", chart)}, Quick());
    for (int bar = 0; bar < 50; ++bar) {
        for (const char* symbol : {"IBM", "MSFT"}) {
            const auto quote = gateway.Quote(symbol);
            ASSERT_TRUE(quote) << symbol;
            EXPECT_DOUBLE_EQ(*quote->last, 100.5);
        }
    }
    EXPECT_EQ(chart.RequestsFor("/IBM"), 1u);
    EXPECT_EQ(chart.RequestsFor("/MSFT"), 1u);
    const auto status = Status(gateway);
    EXPECT_EQ(status["cache"]["hits"], 98);
    EXPECT_EQ(status["cache"]["misses"], 2);
}

TEST(LiveGateway, AsksAgainOnceTheCachePeriodIsOver) {
    FakeSource chart(ChartQuote);
    GatewaySettings settings = Quick();
    settings.cacheFor = 1s;
    LiveGateway gateway({Source("chart", chart)}, settings);
    ASSERT_TRUE(gateway.Quote("IBM"));
    std::this_thread::sleep_for(1100ms);
    ASSERT_TRUE(gateway.Quote("IBM"));
    EXPECT_EQ(chart.RequestsFor("/IBM"), 2u);
}

TEST(LiveGateway, KeepsOneRequestInFlightPerSymbol) {
    FakeSource chart([](const FakeRequest& request) {
        FakeAnswer answer = ChartQuote(request);
        answer.delay = 400ms;
        return answer;
    });
    LiveGateway gateway({Source("chart", chart)}, Quick());
    std::vector<std::future<std::optional<service::LiveQuote>>> askers;
    for (int i = 0; i < 20; ++i) askers.push_back(std::async(std::launch::async, [&] { return gateway.Quote("IBM"); }));
    for (auto& asker : askers) EXPECT_TRUE(asker.get()) << "every asker waits for the one request";
    EXPECT_EQ(chart.RequestsFor("/IBM"), 1u);
}

TEST(LiveGateway, BoundsTheRequestsUnderWayAtOnce) {
    std::atomic<int> underWay{0};
    std::atomic<int> most{0};
    FakeSource chart([&](const FakeRequest& request) {
        const int now = ++underWay;
        for (int seen = most; now > seen && !most.compare_exchange_weak(seen, now);) {
        }
        std::this_thread::sleep_for(100ms);
        --underWay;
        return ChartQuote(request);
    });
    GatewaySettings settings = Quick();
    settings.concurrentRequests = 3;
    LiveGateway gateway({Source("chart", chart)}, settings);
    std::vector<std::future<std::optional<service::LiveQuote>>> askers;
    for (int i = 0; i < 12; ++i) {
        askers.push_back(std::async(std::launch::async, [&, i] { return gateway.Quote("S" + std::to_string(i)); }));
    }
    for (auto& asker : askers) asker.get();
    EXPECT_LE(most.load(), 3);
    EXPECT_GE(most.load(), 2) << "the requests did run side by side";
}

TEST(LiveGateway, FallsOverToTheNextSourceOnEveryKindOfFailure) {
    const FakeAnswer failures[] = {
        {500, "<html>error</html>", "text/html"},
        {200, HtmlWallPage(), "text/html"},
        {200, ""},
        {429, "", "text/plain"},
        {403, "{}"},
        {200, "{\"chart\":{\"result\":[{\"meta\":{}}]}}"},
        {200, "{}", "application/json", {}, 5000ms},  // slower than the client waits
    };
    for (const FakeAnswer& failure : failures) {
        FakeSource chart;
        chart.AnswerAlways(failure);
        FakeSource finnhub;
        finnhub.AnswerAlways({200, FinnhubBody(182.63, 180.78)});
        LiveGateway gateway({Source("chart", chart), Source("finnhub", finnhub, "K")}, Quick());
        auto quote = gateway.Quote("IBM");
        if (failure.delay > 0ms) {
            EXPECT_FALSE(quote) << "the bar is not kept waiting for a slow source";
            std::this_thread::sleep_for(1000ms);
            quote = gateway.Quote("IBM");
        }
        ASSERT_TRUE(quote) << failure.status << " " << failure.body.substr(0, 20);
        EXPECT_DOUBLE_EQ(*quote->last, 182.63);
        EXPECT_EQ(chart.RequestCount(), 1u);
        EXPECT_EQ(finnhub.RequestCount(), 1u);
    }
}

TEST(LiveGateway, AnUnknownSymbolIsNaNotZero) {
    FakeSource chart;
    chart.AnswerAlways({404, ChartNotFoundBody()});
    FakeSource finnhub;
    finnhub.AnswerAlways({200, R"({"c":0,"d":null,"dp":null,"h":0,"l":0,"o":0,"pc":0,"t":0})"});
    LiveGateway gateway({Source("chart", chart), Source("finnhub", finnhub, "K")}, Quick());
    EXPECT_FALSE(gateway.Quote("BOGUS"));
    EXPECT_FALSE(gateway.Quote("BOGUS")) << "and kept for the cache period";
    EXPECT_EQ(chart.RequestCount(), 1u);
    EXPECT_EQ(finnhub.RequestCount(), 1u);
}

TEST(LiveGateway, ServesTheLastGoodQuoteWhenEverySourceFails) {
    FakeSource chart(ChartQuote);
    GatewaySettings settings = Quick();
    settings.cacheFor = 1s;
    settings.retryFailedAfter = 1s;
    LiveGateway gateway({Source("chart", chart)}, settings);
    const auto good = gateway.Quote("IBM");
    ASSERT_TRUE(good);
    chart.AnswerAlways({503, "down", "text/plain"});
    std::this_thread::sleep_for(1100ms);
    const auto stale = gateway.Quote("IBM");
    ASSERT_TRUE(stale) << "the last good quote, never nothing, never invented";
    EXPECT_DOUBLE_EQ(*stale->last, *good->last);
    EXPECT_EQ(stale->time, good->time) << "with its own time";
    EXPECT_EQ(chart.RequestsFor("/IBM"), 2u);
    EXPECT_FALSE(gateway.Quote("NEVER")) << "a symbol never had is N/A";
}

TEST(LiveGateway, ASymbolNoSourceKnowsCostsEachSourceAboutOneRequestAnHour) {
    FakeSource chart;
    chart.AnswerAlways({404, ChartNotFoundBody()});
    FakeSource finnhub;
    finnhub.AnswerAlways({200, R"({"c":0,"d":null,"dp":null,"h":0,"l":0,"o":0,"pc":0,"t":0})"});
    FakeSource twelve;
    twelve.AnswerAlways({200, R"({"code":404,"message":"symbol not found","status":"error"})"});
    SimulatedClock clock;
    LiveGateway gateway({Source("chart", chart), Source("finnhub", finnhub, "K"), Source("twelvedata", twelve, "K")},
                        clock.On(Quick()));
    // A bar asking every 5 s for an hour.
    for (int second = 0; second < 3600; second += 5) {
        EXPECT_FALSE(gateway.Quote("BOGUS"));
        clock.Advance(5s);
    }
    for (const FakeSource* source : {&chart, &finnhub, &twelve}) EXPECT_EQ(source->RequestCount(), 1u);
    EXPECT_FALSE(gateway.Quote("BOGUS"));
    for (const FakeSource* source : {&chart, &finnhub, &twelve}) {
        EXPECT_EQ(source->RequestCount(), 2u) << "asked again once the hour is over";
    }
}

TEST(LiveGateway, AsksTheNextSourceForWhatTheFirstDoesNotKnow) {
    FakeSource chart;
    chart.AnswerAlways({404, ChartNotFoundBody()});
    FakeSource finnhub;
    finnhub.AnswerAlways({200, FinnhubBody(5, 4)});
    SimulatedClock clock;
    LiveGateway gateway({Source("chart", chart), Source("finnhub", finnhub, "K")}, clock.On(Quick()));
    for (int period = 0; period < 5; ++period) {
        ASSERT_TRUE(gateway.Quote("IBM"));
        clock.Advance(61s);
    }
    EXPECT_EQ(chart.RequestCount(), 1u) << "its unknown is believed";
    EXPECT_EQ(finnhub.RequestCount(), 5u) << "the quote is asked for every cache period";
}

TEST(LiveGateway, SkipsASourceThatHangsAndProbesItNowAndThen) {
    FakeSource chart;
    chart.AnswerAlways({200, "{}", "application/json", {}, 5000ms});
    FakeSource finnhub;
    finnhub.AnswerAlways({200, FinnhubBody(5, 4)});
    SimulatedClock clock;
    GatewaySettings settings = clock.On(Quick());
    settings.upstream.totalTimeout = 1000ms;
    settings.concurrentRequests = 4;
    LiveGateway gateway({Source("chart", chart), Source("finnhub", finnhub, "K")}, settings);
    std::vector<std::string> symbols;
    auto allPriced = [&](const char* prefix) {
        symbols.clear();
        for (int i = 0; i < 20; ++i) symbols.push_back(prefix + std::to_string(i));
        for (int ask = 0; ask < 20; ++ask) {
            const auto quotes = gateway.Quotes(symbols);
            if (std::all_of(quotes.begin(), quotes.end(), [](const auto& quote) { return quote.has_value(); })) {
                return true;
            }
        }
        return false;
    };
    ASSERT_TRUE(allPriced("S"));
    EXPECT_LE(chart.RequestCount(), 4u) << "only the requests under way before the first time-out";
    const std::size_t before = chart.RequestCount();
    clock.Advance(31s);  // past the first back-off
    ASSERT_TRUE(allPriced("T"));
    EXPECT_EQ(chart.RequestCount(), before + 1) << "one probe, the others asked of the next source";
    EXPECT_GE(Status(gateway)["sources"][0]["answers"]["skipped"], 30);
}

TEST(LiveGateway, CountsEveryStaleAnswer) {
    struct Case {
        const char* name;
        std::function<void(FakeSource&)> spoil;
    };
    const Case cases[] = {
        {"fast failure", [](FakeSource& chart) { chart.AnswerAlways({503, "down", "text/plain"}); }},
        {"limit", [](FakeSource& chart) { chart.AnswerAlways({429, "", "text/plain", {{"Retry-After", "600"}}}); }},
    };
    for (const Case& c : cases) {
        FakeSource chart(ChartQuote);
        SimulatedClock clock;
        LiveGateway gateway({Source("chart", chart)}, clock.On(Quick()));
        ASSERT_TRUE(gateway.Quote("IBM")) << c.name;
        ASSERT_TRUE(gateway.Quote("MSFT")) << c.name;
        c.spoil(chart);
        clock.Advance(61s);
        EXPECT_TRUE(gateway.Quote("IBM")) << c.name << ": after the failure itself";
        EXPECT_TRUE(gateway.Quote("MSFT")) << c.name << ": after a skip";
        EXPECT_TRUE(gateway.Quote("IBM")) << c.name << ": from the cache";
        EXPECT_EQ(Status(gateway)["cache"]["answeredStale"], 3) << c.name;
    }
}

TEST(LiveGateway, SaysWhenNoSourceAnswersAndOnlyOnALastingChange) {
    setenv("TZ", "UTC", 1);
    tzset();
    FakeSource chart(ChartQuote);
    SimulatedClock clock;  // 10:42 UTC
    GatewaySettings settings = clock.On(Quick());
    settings.retryFailedAfter = 15s;
    LiveGateway gateway({Source("chart", chart)}, settings);
    ASSERT_TRUE(gateway.Quote("IBM"));
    EXPECT_EQ(gateway.DelayNoticeText(), "");
    chart.AnswerAlways({503, "down", "text/plain"});
    clock.Advance(30s);
    gateway.Quote("IBM");
    EXPECT_EQ(gateway.DelayNoticeText(), "") << "one failure within the cache period is no delay";
    clock.Advance(61s);
    gateway.Quote("IBM");
    EXPECT_EQ(gateway.DelayNoticeText(), "Quotes delayed: no source has answered since 10:42");
    chart.SetAnswerer(ChartQuote);
    clock.Advance(120s);  // past the back-off
    ASSERT_TRUE(gateway.Quote("IBM"));
    EXPECT_EQ(gateway.DelayNoticeText(), "Quotes delayed: no source has answered since 10:42")
        << "the message changes at most once in a few minutes";
    clock.Advance(61s);
    EXPECT_EQ(gateway.DelayNoticeText(), "") << "fresh quotes flow again";

    FakeSource finnhub;
    LiveGateway usOnly({Source("finnhub", finnhub, "K")}, clock.On(Quick()));
    for (int period = 0; period < 5; ++period) {
        EXPECT_FALSE(usOnly.Quote("VOD.L"));
        clock.Advance(61s);
    }
    EXPECT_EQ(usOnly.DelayNoticeText(), "") << "a symbol no source can be asked for is no delay";
}

// A source that answers later than anyone waits.
class HangingSource : public ::testing::Test {
protected:
    HangingSource() { chart.AnswerAlways({200, "{}", "application/json", {}, 10000ms}); }

    static GatewaySettings Settings() {
        GatewaySettings settings = Quick();
        settings.upstream.totalTimeout = 10000ms;
        return settings;
    }

    FakeSource chart;
    LiveGateway gateway{{Source("chart", chart)}, Settings()};
};

TEST_F(HangingSource, TheBarIsAnsweredInTime) {
    const auto started = std::chrono::steady_clock::now();
    EXPECT_FALSE(gateway.Quote("IBM"));
    const auto waited = std::chrono::steady_clock::now() - started;
    EXPECT_GE(waited, 1400ms);
    EXPECT_LT(waited, 2500ms);
    EXPECT_EQ(Status(gateway)["cache"]["answeredNA"], 1);
}

TEST_F(HangingSource, ManySymbolsAreAnsweredWithinOnePatience) {
    const auto started = std::chrono::steady_clock::now();
    const auto quotes = gateway.Quotes({"A", "B", "C", "D", "E", "F"});
    EXPECT_LT(std::chrono::steady_clock::now() - started, 2500ms) << "not one patience after another";
    ASSERT_EQ(quotes.size(), 6u);
    for (const auto& quote : quotes) EXPECT_FALSE(quote);
}

TEST(LiveGateway, KeepsEachSourcesLimitAndFallsOverWhenItIsReached) {
    FakeSource twelve([](const FakeRequest& request) {
        return FakeAnswer{200, TwelveDataBody(request.query.at("symbol"), 10, 9)};
    });
    FakeSource chart(ChartQuote);
    LiveGateway gateway({Source("twelvedata", twelve, "K"), Source("chart", chart)}, Quick());
    for (int i = 0; i < 10; ++i) ASSERT_TRUE(gateway.Quote("S" + std::to_string(i)));
    EXPECT_EQ(twelve.RequestCount(), 8u) << "8 a minute";
    EXPECT_EQ(chart.RequestCount(), 2u);
    const auto status = Status(gateway);
    EXPECT_EQ(status["sources"][0]["limits"]["lastMinute"], 8);
    EXPECT_EQ(status["sources"][0]["limits"]["perDay"], 800);
    EXPECT_EQ(status["sources"][0]["answers"]["skipped"], 2);
}

TEST(LiveGateway, TakesThePublishedLimitsUnlessToldOtherwise) {
    service::ServiceOptions options;
    options.sources = {"twelvedata", "finnhub", "chart"};
    options.limits["finnhub"] = {300, 0};
    options.providerUrls["chart"] = "http://127.0.0.1:9";
    options.keys["finnhub"] = "K";
    const auto sources = service::ConfiguredSources(options);
    ASSERT_EQ(sources.size(), 3u);
    EXPECT_EQ(sources[0].perMinute, 8);
    EXPECT_EQ(sources[0].perDay, 800);
    EXPECT_EQ(sources[0].base, "https://api.twelvedata.com");
    EXPECT_EQ(sources[1].perMinute, 300);
    EXPECT_EQ(sources[1].key, "K");
    EXPECT_EQ(sources[2].perMinute, 30);
    EXPECT_EQ(sources[2].base, "http://127.0.0.1:9");
}

TEST(LiveGateway, BacksOffASourceThatAnswers429) {
    FakeSource chart;
    chart.AnswerAlways({429, "", "text/plain", {{"Retry-After", "120"}}});
    FakeSource finnhub;
    finnhub.AnswerAlways({200, FinnhubBody(5, 4)});
    LiveGateway gateway({Source("chart", chart), Source("finnhub", finnhub, "K")}, Quick());
    for (const char* symbol : {"A", "B", "C"}) ASSERT_TRUE(gateway.Quote(symbol));
    EXPECT_EQ(chart.RequestCount(), 1u) << "no request while it asked us to wait";
    EXPECT_EQ(finnhub.RequestCount(), 3u);
    const auto status = Status(gateway);
    EXPECT_GT(status["sources"][0]["limits"]["backOffSeconds"], 110);
    EXPECT_EQ(status["sources"][0]["lastError"], "limit: 429 Too Many Requests");
}

TEST(LiveGateway, SkipsAKeyedSourceWithoutItsKeyAndSymbolsItCannotAsk) {
    FakeSource finnhub;
    finnhub.AnswerAlways({200, FinnhubBody(5, 4)});
    FakeSource chart(ChartQuote);
    LiveGateway gateway({Source("finnhub", finnhub), Source("chart", chart)}, Quick());
    ASSERT_TRUE(gateway.Quote("IBM"));
    EXPECT_EQ(finnhub.RequestCount(), 0u);
    EXPECT_FALSE(gateway.Quote("IBM/../../admin"));
    EXPECT_FALSE(gateway.Quote("ibm"));
    EXPECT_EQ(chart.RequestCount(), 1u) << "an implausible symbol never goes upstream";
}

TEST(LiveGateway, StaysBoundedWithAnyNumberOfDistinctSymbols) {
    FakeSource chart;
    chart.AnswerAlways({404, ChartNotFoundBody()});
    GatewaySettings settings = Quick();
    settings.maxCachedSymbols = 50;
    settings.maxQueuedSymbols = 8;
    LiveGateway gateway({Source("chart", chart)}, settings);
    for (int i = 0; i < 300; ++i) gateway.Quote("S" + std::to_string(i));
    EXPECT_LE(gateway.CachedSymbols(), 50u);
}

TEST(LiveGateway, ShowsNoKeyInItsStatus) {
    FakeSource finnhub;
    finnhub.AnswerAlways({401, R"({"error":"Invalid API key."})"});
    LiveGateway gateway({Source("finnhub", finnhub, "SECRET-KEY-4242")}, Quick());
    EXPECT_FALSE(gateway.Quote("IBM"));
    const std::string status = gateway.StatusJson();
    EXPECT_EQ(status.find("SECRET-KEY-4242"), std::string::npos) << status;
    const auto json = nlohmann::json::parse(status);
    EXPECT_EQ(json["sources"][0]["key"], "set");
    EXPECT_EQ(json["sources"][0]["answers"]["refused"], 1);
    EXPECT_NE(json["sources"][0]["lastErrorAt"], "");
    EXPECT_EQ(finnhub.Requests().at(0).headers.at("X-Finnhub-Token"), "SECRET-KEY-4242");
}

}  // namespace
}  // namespace service_test
