#include <gtest/gtest.h>

#include <regex>

#include "service/pages/detail_pages.h"
#include "service/pages/html.h"
#include "service/pages/pages.h"
#include "service/pages/price_chart.h"

namespace service {
namespace {

const char* const kHostile = "<script>alert(\"x\")</script>&'";

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

Quote QuoteWithChange(std::int64_t changeCents) {
    Quote quote;
    quote.symbol = "IBM";
    quote.prevCloseCents = 10000;
    quote.lastCents = 10000 + changeCents;
    quote.openCents = 10010;
    quote.lowCents = std::min<std::int64_t>(quote.lastCents, 9990);
    quote.highCents = std::max<std::int64_t>(quote.lastCents, 10020);
    quote.volume = 4200;
    quote.minutesSinceOpen = 30;
    quote.recentCents = {10010, 10005, quote.lastCents};
    return quote;
}

// The y coordinates of the chart's line, in point order.
std::vector<int> LineHeights(const std::string& svg) {
    const std::regex points("points=\"([^\"]*)\"");
    std::smatch match;
    std::vector<int> heights;
    if (!std::regex_search(svg, match, points)) return heights;
    const std::string list = match[1];
    const std::regex point("(\\d+),(\\d+)");
    for (auto it = std::sregex_iterator(list.begin(), list.end(), point); it != std::sregex_iterator(); ++it) {
        heights.push_back(std::stoi((*it)[2]));
    }
    return heights;
}

TEST(HtmlEscape, MakesMarkupCharactersText) {
    EXPECT_EQ(HtmlEscape(kHostile), "&lt;script&gt;alert(&quot;x&quot;)&lt;/script&gt;&amp;&#39;");
    EXPECT_EQ(HtmlEscape("IBM 1/4"), "IBM 1/4");
}

TEST(HtmlPage, EscapesTheTitle) {
    const std::string page = HtmlPage(kHostile, "<p>body</p>");
    EXPECT_FALSE(Contains(page, "<script"));
    EXPECT_TRUE(Contains(page, "<title>&lt;script&gt;"));
    EXPECT_TRUE(Contains(page, "<p>body</p>"));
}

TEST(QuoteDetailPage, EscapesTheSymbolAndTheRequester) {
    for (const auto& quote : {std::optional<Quote>(), std::optional<Quote>(QuoteWithChange(5))}) {
        const std::string page = QuoteDetailPage(kHostile, quote, {"<b>5.6", "\"21"});
        EXPECT_FALSE(Contains(page, "<script")) << page;
        EXPECT_FALSE(Contains(page, "<b>5.6"));
        EXPECT_TRUE(Contains(page, "&lt;script&gt;alert(&quot;x&quot;)"));
        EXPECT_TRUE(Contains(page, "v&lt;b&gt;5.6"));
        EXPECT_TRUE(Contains(page, "&quot;21"));
    }
}

TEST(QuoteDetailPage, ShowsTheQuoteAndItsRecentPrices) {
    const std::string page = QuoteDetailPage("IBM", QuoteWithChange(125), {"5.6", "21"});
    for (const char* part : {"<h1>IBM</h1>", "101.25", "+1.25 (+1.25%)", "10:00AM", "100.10", "99.90", "100.00", "4200",
                             "Velmoria v5.6, banner 21"}) {
        EXPECT_TRUE(Contains(page, part)) << part;
    }
    EXPECT_EQ(LineHeights(page).size(), 3u);
}

TEST(QuoteDetailPage, ColoursTheChangeLikeTheTicker) {
    const struct {
        std::int64_t change;
        const char* colourClass;
    } cases[] = {{125, "class=\"up\""}, {0, "class=\"flat\""}, {-50, "class=\"down\""}};
    for (const auto& c : cases) {
        EXPECT_TRUE(Contains(QuoteDetailPage("IBM", QuoteWithChange(c.change), {}), c.colourClass)) << c.change;
    }
}

TEST(QuoteDetailPage, SaysSoWhenThereIsNoQuote) {
    const std::string page = QuoteDetailPage("BOGUS", std::nullopt, {});
    EXPECT_TRUE(Contains(page, "No quote is available for <b>BOGUS</b>"));
    EXPECT_FALSE(Contains(page, "<svg"));
    EXPECT_FALSE(Contains(page, "Requested by"));
}

TEST(LinkDetailPage, LinksWebAddressesOnly) {
    const std::string web = LinkDetailPage("http://127.0.0.1:8642/news.html?a=1&b=2", {"5.6", "21"});
    EXPECT_TRUE(Contains(web, "<a href=\"http://127.0.0.1:8642/news.html?a=1&amp;b=2\">"));

    for (const char* address :
         {"javascript:alert(1)", "JAVASCRIPT://x%0aalert(1)", "file:///etc/passwd", "news.html"}) {
        const std::string page = LinkDetailPage(address, {});
        EXPECT_FALSE(Contains(page, "<a href=\"" + HtmlEscape(address))) << address;
        EXPECT_TRUE(Contains(page, "<code>" + HtmlEscape(address) + "</code>")) << address;
    }
    EXPECT_TRUE(Contains(LinkDetailPage("HTTPS://example.com/", {}), "<a href=\"HTTPS://example.com/\">"));
}

TEST(LinkDetailPage, CannotBeBrokenOutOfByTheAddress) {
    const std::string page = LinkDetailPage("http://x/\"onmouseover=\"alert(1)<script>", {});
    EXPECT_FALSE(Contains(page, "\"onmouseover"));
    EXPECT_FALSE(Contains(page, "<script"));
    EXPECT_TRUE(Contains(page, "&quot;onmouseover=&quot;alert(1)&lt;script&gt;"));
}

TEST(PriceChart, DrawsEveryPriceFromLeftToRight) {
    EXPECT_EQ(PriceChartSvg({}), "");

    const auto rising = LineHeights(PriceChartSvg({100, 150, 200, 250}));
    ASSERT_EQ(rising.size(), 4u);
    EXPECT_TRUE(std::is_sorted(rising.rbegin(), rising.rend()));  // higher prices stand higher up
    EXPECT_GT(rising.front(), rising.back());

    const auto flat = LineHeights(PriceChartSvg({700, 700, 700}));
    ASSERT_EQ(flat.size(), 3u);
    EXPECT_EQ(flat[0], kChartHeight / 2);
    EXPECT_EQ(flat[2], kChartHeight / 2);

    const std::string single = PriceChartSvg({12345});
    EXPECT_EQ(LineHeights(single).size(), 1u);
    EXPECT_TRUE(Contains(single, "123.45"));
}

TEST(HelpPage, CoversTheTickersMenuMouseFieldsAndColours) {
    const std::string page = HelpPage();
    for (const char* part : {"Scroll Speed",
                             "Update Frequency",
                             "<b>Data</b>",
                             "Always On Top",
                             "Snap to Screen Edges",
                             "Add/Remove Symbols...",
                             "<b>Exit</b>",
                             "drag",
                             "grips",
                             "click the logo",
                             "detail page",
                             "Current Price",
                             "Day's Change",
                             "Day's Volume",
                             "Show Fractions",
                             "green",
                             "blue",
                             "red",
                             "64ths",
                             "105 1/4",
                             "1 63/64"}) {
        EXPECT_TRUE(Contains(page, part)) << part;
    }
}

TEST(HomePage, LinksHelpNewsAndTheQuoteLookup) {
    const std::string page = HomePage();
    EXPECT_TRUE(Contains(page, "href=\"/help.html\""));
    EXPECT_TRUE(Contains(page, "href=\"/news.html\""));
    EXPECT_TRUE(Contains(page, "action=\"/orvo.html\""));
}

TEST(NotFoundPage, EscapesThePath) { EXPECT_TRUE(Contains(NotFoundPage("/<x>"), "<code>/&lt;x&gt;</code>")); }

}  // namespace
}  // namespace service
