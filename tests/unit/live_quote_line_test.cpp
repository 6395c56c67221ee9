// The bar's own download and quote-line parser on the lines the stand-in
// service makes in live mode from a market-data source (a fake of the chart
// API here): the source's prices with their sign, the exchange's trade time,
// N/A for an unknown symbol, and the last good quote when the source fails.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <thread>

#include "hostile_server.h"
#include "platform/native/internet_curl.h"
#include "proxy_environment.h"
#include "quotes/data_mask.h"
#include "quotes/data_text.h"
#include "quotes/entry_list.h"
#include "quotes/http_get_text.h"
#include "quotes/quote_line.h"
#include "service_process.h"

namespace {

using quotes::QuoteFields;

// 2026-12-10 21:00 UTC, 4:00PM in New York.
const char* const kMarketClose = "1796936400";
const auto kCachePeriod = std::chrono::seconds(15);

struct Prices {
    double last;
    double previousClose;
};
const std::map<std::string, Prices> kPrices = {
    {"UP", {182.63, 180.78}},         {"DOWN", {95.25, 97.5}},         {"VOD.L", {71.52, 72.1}},
    {"BTC-USD", {43210.5, 42000.25}}, {"SHIB-USD", {0.00001234, 0.00001221}}, {"EURUSD=X", {1.08453, 1.0832}},
    {"^DJI", {37305.16, 37100.5}}};

// Every digit the number has, as a source writes it.
std::string JsonNumber(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}

std::string HttpAnswer(const std::string& status, const std::string& type, const std::string& body) {
    return "HTTP/1.1 " + status + "\r\nContent-Type: " + type + "\r\nContent-Length: " + std::to_string(body.size()) +
           "\r\nConnection: close\r\n\r\n" + body;
}

std::string ChartAnswer(const std::string& symbol, const Prices& prices) {
    const std::string body = R"({"chart":{"result":[{"meta":{"currency":"USD","symbol":")" + symbol +
                             R"(","regularMarketTime":)" + kMarketClose +
                             R"(,"gmtoffset":-18000,"exchangeTimezoneName":"America/New_York","regularMarketPrice":)" +
                             JsonNumber(prices.last) + R"(,"previousClose":)" + JsonNumber(prices.previousClose) +
                             R"(,"regularMarketDayLow":90,"regularMarketDayHigh":190,"regularMarketVolume":4321000},)"
                             R"("timestamp":[1796936100],"indicators":{"quote":[{"open":[100.5],"close":[1]}]}}],)"
                             R"("error":null}})";
    return HttpAnswer("200 OK", "application/json", body);
}

const std::string kNotFound =
    HttpAnswer("404 Not Found", "application/json", R"({"chart":{"result":null,"error":{"code":"Not Found"}}})");
const std::string kUnavailable = HttpAnswer("503 Service Unavailable", "text/html", "<html></html>");

// "UP" from "/v8/finance/chart/UP?range=1d&interval=5m", "^DJI" from "%5EDJI".
std::string SymbolOf(const std::string& target) {
    const std::size_t start = target.rfind('/', target.find('?')) + 1;
    const std::string escaped = target.substr(start, target.find('?') - start);
    std::string symbol;
    for (std::size_t i = 0; i < escaped.size(); ++i) {
        if (escaped[i] == '%' && i + 2 < escaped.size()) {
            symbol.push_back(static_cast<char>(std::stoi(escaped.substr(i + 1, 2), nullptr, 16)));
            i += 2;
        } else {
            symbol.push_back(escaped[i]);
        }
    }
    return symbol;
}

class LiveQuoteLine : public testing::Test {
protected:
    LiveQuoteLine()
        : chart_([this](hostile::Peer& peer) {
              const std::string symbol = SymbolOf(peer.target());
              const auto prices = kPrices.find(symbol);
              if (failing_) {
                  peer.Send(kUnavailable);
              } else if (prices == kPrices.end()) {
                  peer.Send(kNotFound);
              } else {
                  peer.Send(ChartAnswer(symbol, prices->second));
              }
          }),
          service_(VELMORIA_SERVICE_BINARY, {"--message", "", "--source", "chart", "--provider-url",
                                             "chart=" + chart_.Url(""), "--cache-seconds", "15"}) {}

    // The item as the bar fills it from its quote source.
    QuoteFields Item(const std::string& typed, const std::string& source = "/d/quotes.csv?f=sl1t1c1ghpv") {
        const std::string address = service_.Url(source) + "&s=" + typed;
        QuoteFields fields;
        fields.label = typed;
        quotes::ApplyQuoteLine(address, quotes::HttpGetText(internet_, address), fields);
        return fields;
    }

    test_support::ProxyEnvironment noProxy_{std::map<std::string, std::string>{}};
    std::atomic<bool> failing_{false};
    hostile::HostileServer chart_;
    test_support::ServiceProcess service_;
    platform::native::CurlInternet internet_;
};

TEST_F(LiveQuoteLine, TheBarReadsTheSourcesPricesInTheirColours) {
    const QuoteFields up = Item("UP");
    EXPECT_DOUBLE_EQ(up.last, 182.63);
    EXPECT_DOUBLE_EQ(up.change, 1.85);
    EXPECT_DOUBLE_EQ(up.prevClose, 180.78);
    EXPECT_EQ(up.timeText, "4:00PM");
    EXPECT_EQ(up.volume, 4321000);
    EXPECT_EQ(quotes::ColorForChange(up.change), quotes::kRisingColor);

    const QuoteFields down = Item("DOWN");
    EXPECT_DOUBLE_EQ(down.last, 95.25);
    EXPECT_DOUBLE_EQ(down.change, -2.25);
    EXPECT_EQ(quotes::ColorForChange(down.change), quotes::kFallingColor);

    const QuoteFields london = Item("VOD.L", "/uk/quotes.csv?f=sl1t1c1ghpvo");
    EXPECT_DOUBLE_EQ(london.last, 71.52) << "the header line skipped, pence as the source gives them";
    EXPECT_DOUBLE_EQ(london.open, 100.5);

    const QuoteFields unknown = Item("bogus");
    EXPECT_EQ(unknown.last, 0) << "N/A, never a price";
    EXPECT_EQ(unknown.label, "bogus") << "as typed: the bar shows the name alone";
    EXPECT_EQ(quotes::ColorForChange(unknown.change), quotes::kUnchangedColor);
}

TEST_F(LiveQuoteLine, CryptoCurrenciesAndIndicesFromTheEntryToTheItem) {
    struct Case {
        const char* typed;
        double last;
        const char* shown;  // price and change as the item shows them in decimals
    };
    const Case cases[] = {
        {"btc-usd", 43210.5, "43210.5 +1210.25"},
        {"shib-usd", 0.00001234, "1.234e-005 +1.3e-007"},
        {"eurusd=x", 1.08453, "1.08453 +0.00133"},
        {"^dji", 37305.16, "37305.2 +204.66"},
    };
    for (const Case& c : cases) {
        // The address as the bar makes it from the entry: upper case, unescaped.
        const std::string address = quotes::SymbolQuoteAddress(service_.Url("/d/quotes.csv?f=sl1t1c1ghpv"), c.typed);
        QuoteFields fields;
        fields.label = c.typed;
        quotes::ApplyQuoteLine(address, quotes::HttpGetText(internet_, address), fields);
        EXPECT_DOUBLE_EQ(fields.last, c.last) << c.typed;
        EXPECT_EQ(quotes::BuildDataText(fields, quotes::kShowPrice | quotes::kShowChange), c.shown) << c.typed;
    }
}

TEST_F(LiveQuoteLine, TheBarKeepsTheLastGoodQuoteWhenTheSourceFails) {
    ASSERT_DOUBLE_EQ(Item("UP").last, 182.63);
    failing_ = true;
    const int asked = chart_.connections();
    std::this_thread::sleep_for(kCachePeriod + std::chrono::milliseconds(500));
    const QuoteFields kept = Item("UP");
    EXPECT_GT(chart_.connections(), asked) << "the source was asked again, and failed";
    EXPECT_DOUBLE_EQ(kept.last, 182.63);
    EXPECT_DOUBLE_EQ(kept.change, 1.85);
    EXPECT_EQ(kept.timeText, "4:00PM") << "with its own time";
    EXPECT_EQ(Item("DOWN").last, 0) << "a symbol never had is N/A";
}

}  // namespace
