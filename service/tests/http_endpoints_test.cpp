// The endpoints over real HTTP, asked the way the ticker asks.
#include <gtest/gtest.h>
#include <httplib.h>

#include <algorithm>
#include <map>
#include <regex>

#include "log_lines.h"
#include "raw_http.h"
#include "running_service.h"
#include "service/server/service_core.h"

namespace service_test {
namespace {

const std::regex kDefaultLine(
    R"re("IBM",\d+\.\d\d,"\d{1,2}:\d\d[AP]M",(\+\d+\.\d\d|-\d+\.\d\d|0\.00),\d+\.\d\d,\d+\.\d\d,\d+\.\d\d,\d+\r\n)re");

std::vector<std::string> Lines(const std::string& body) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end = body.find('\n'); end != std::string::npos; end = body.find('\n', start)) {
        lines.push_back(body.substr(start, end - start + 1));
        start = end + 1;
    }
    if (start < body.size()) lines.push_back(body.substr(start));
    return lines;
}

// The path and query of an absolute address on this host.
std::string TargetOf(const std::string& address) {
    return address.substr(address.find('/', std::string("http://").size()));
}

class Endpoints : public ::testing::Test {
protected:
    RunningService service;
};

TEST_F(Endpoints, ServeTheHomeSitesPages) {
    const struct {
        const char* target;
        const char* title;
    } cases[] = {{"/", "<title>Velmoria - the desktop stock ticker</title>"},
                 {"/help.html", "<title>Velmoria On-Line Help</title>"},
                 {"/news.html", "<title>Market News</title>"}};
    for (const auto& c : cases) {
        const RawResponse response = RawGet(service.port(), c.target);
        EXPECT_EQ(response.status, 200) << c.target;
        EXPECT_EQ(response.Header("content-type"), "text/html") << c.target;
        EXPECT_NE(response.body.find(c.title), std::string::npos) << c.target;
        EXPECT_EQ(response.ContentLength(), static_cast<long long>(response.body.size())) << c.target;
    }
    EXPECT_EQ(RawGet(service.port(), "/no/such/page.html").status, 404);
}

TEST_F(Endpoints, ServeTheServerMessage) {
    const RawResponse response = RawGet(service.port(), "/getmessage.asp?ID=!VELMORIA!");
    EXPECT_EQ(response.status, 200);
    EXPECT_EQ(response.body, service::DefaultServerMessage(service.port()));
    EXPECT_NE(response.body.find("Market News<127.0.0.1:" + std::to_string(service.port()) + "/news.html>"),
              std::string::npos);
}

TEST_F(Endpoints, ServeTheExchangeList) {
    const RawResponse response = RawGet(service.port(), "/exchanges.html");
    EXPECT_EQ(response.status, 200);
    const std::string host = "http://127.0.0.1:" + std::to_string(service.port());
    EXPECT_EQ(response.body,
              "," + host + "/d/quotes.csv?f=sl1t1c1ghpv\r\nL," + host + "/uk/quotes.csv?f=sl1t1c1ghpvo\r\n");
}

TEST_F(Endpoints, DefaultSourceAnswersOneCrLfLineOfEightColumns) {
    for (int request = 0; request < 3; ++request) {
        const RawResponse response = RawGet(service.port(), "/d/quotes.csv?f=sl1t1c1ghpv&s=IBM");
        EXPECT_EQ(response.status, 200);
        EXPECT_TRUE(std::regex_match(response.body, kDefaultLine)) << response.body;
    }
}

TEST_F(Endpoints, ExchangeListLeadsToSourcesThatAnswer) {
    std::map<std::string, std::string> sources;
    for (const std::string& line : Lines(BodyOf(service.port(), "/exchanges.html"))) {
        const std::size_t comma = line.find(',');
        sources[line.substr(0, comma)] = line.substr(comma + 1, line.find('\r') - comma - 1);
    }
    ASSERT_EQ(sources.count(""), 1u);
    ASSERT_EQ(sources.count("L"), 1u);

    const auto standard = Lines(BodyOf(service.port(), TargetOf(sources[""]) + "&s=IBM"));
    ASSERT_EQ(standard.size(), 1u);
    EXPECT_EQ(std::count(standard[0].begin(), standard[0].end(), ','), 7);

    // The London source's address holds "uk", and it sends a header line
    // first and the opening price as a ninth column.
    EXPECT_NE(sources["L"].find("uk"), std::string::npos);
    const auto london = Lines(BodyOf(service.port(), TargetOf(sources["L"]) + "&s=VOD.L"));
    ASSERT_EQ(london.size(), 2u);
    EXPECT_EQ(london[0], "Symbol,Last Trade,Trade Time,Change,Day's Low,Day's High,Previous Close,Volume,Open\r\n");
    EXPECT_EQ(london[1].find("\"VOD.L\","), 0u);
    EXPECT_EQ(std::count(london[1].begin(), london[1].end(), ','), 8);
    EXPECT_TRUE(std::regex_search(london[1], std::regex(R"(,\d+\.\d\d\r\n$)"))) << london[1];
}

TEST_F(Endpoints, AnswerUnknownSymbolsWithNotAvailable) {
    const struct {
        const char* sent;
        const char* echoed;
    } cases[] = {
        {"BOGUS", "BOGUS"}, {"bogus", "BOGUS"}, {"ABCDEFGHIJK", "ABCDEFGHIJK"}, {"A$B", "A$B"}, {"A%22B", "AB"}};
    for (const auto& c : cases) {
        EXPECT_EQ(BodyOf(service.port(), std::string("/d/quotes.csv?f=sl1t1c1ghpv&s=") + c.sent),
                  std::string("\"") + c.echoed + "\",N/A,\"N/A\",N/A,N/A,N/A,N/A,N/A\r\n")
            << c.sent;
    }
    const auto london = Lines(BodyOf(service.port(), "/uk/quotes.csv?f=sl1t1c1ghpvo&s=BOGUS.L"));
    ASSERT_EQ(london.size(), 2u);
    EXPECT_EQ(london[1], "\"BOGUS.L\",N/A,\"N/A\",N/A,N/A,N/A,N/A,N/A,N/A\r\n");
}

TEST_F(Endpoints, LogEveryRequestAsSent) {
    RawGet(service.port(), "/d/quotes.csv?f=sl1t1c1ghpv&s=IBM");
    RawGet(service.port(), "/getmessage.asp?ID=!VELMORIA!");
    RawGet(service.port(), "/help.html", "");
    // A link page for an address that has a query of its own: a second '?'.
    const RawResponse link = RawGet(service.port(), "/orvo.html?url=http://x/?a=1&v=5.6", "");
    EXPECT_EQ(link.status, 200);
    EXPECT_NE(link.body.find("<a href=\"http://x/?a=1\">"), std::string::npos);
    httplib::Client client("127.0.0.1", service.port());
    ASSERT_TRUE(client.Get("/exchanges.html", {{"User-Agent", "Mozilla/4.0"}}));

    const std::vector<std::string> expected = {
        "GET\t/d/quotes.csv?f=sl1t1c1ghpv&s=IBM\tHTTP/1.0\tORVO",
        "GET\t/getmessage.asp?ID=!VELMORIA!\tHTTP/1.0\tORVO",
        "GET\t/help.html\tHTTP/1.0\t-",
        "GET\t/orvo.html?url=http://x/?a=1&v=5.6\tHTTP/1.0\t-",
        "GET\t/exchanges.html\tHTTP/1.1\tMozilla/4.0",
    };
    const std::vector<std::string> lines = service.LogLines();
    EXPECT_EQ(RequestsOf(lines), expected);
    ExpectOneConnectionEachInOrder(lines);
}

TEST_F(Endpoints, SendBodiesUncompressedToAnyClient) {
    httplib::Client client("127.0.0.1", service.port());
    const auto response = client.Get("/exchanges.html", {{"Accept-Encoding", "gzip, deflate, br"}});
    ASSERT_TRUE(response);
    EXPECT_EQ(response->status, 200);
    EXPECT_FALSE(response->has_header("Content-Encoding"));
    EXPECT_EQ(response->body, service::ExchangeList(service.port()));
}

TEST_F(Endpoints, ServeTheDetailPageOfTheLastQuote) {
    BodyOf(service.port(), "/d/quotes.csv?f=sl1t1c1ghpv&s=IBM");
    const std::string line = BodyOf(service.port(), "/d/quotes.csv?f=sl1t1c1ghpv&s=IBM");
    const std::string last = line.substr(6, line.find(',', 6) - 6);

    const RawResponse page = RawGet(service.port(), "/orvo.html?s=IBM&v=5.6&ban=21");
    EXPECT_EQ(page.status, 200);
    EXPECT_EQ(page.Header("content-type"), "text/html");
    EXPECT_NE(page.body.find("<b>" + last + "</b>"), std::string::npos) << last;
    EXPECT_NE(page.body.find("<svg"), std::string::npos);
    EXPECT_NE(page.body.find("<polyline"), std::string::npos);
    EXPECT_NE(page.body.find("Velmoria v5.6, banner 21"), std::string::npos);
}

TEST_F(Endpoints, ServeTheLinkPage) {
    const std::string address = "http://127.0.0.1:" + std::to_string(service.port()) + "/news.html";
    const RawResponse page = RawGet(service.port(), "/orvo.html?url=" + address + "&v=5.6&ban=21");
    EXPECT_EQ(page.status, 200);
    EXPECT_NE(page.body.find("<a href=\"" + address + "\">" + address + "</a>"), std::string::npos);
}

TEST_F(Endpoints, EscapeWhatTheDetailPagesShow) {
    const std::string symbolPage =
        BodyOf(service.port(), "/orvo.html?s=%3Cscript%3Ealert(1)%3C/script%3E&v=5.6&ban=%22x");
    EXPECT_EQ(symbolPage.find("<script"), std::string::npos);
    EXPECT_NE(symbolPage.find("&lt;script&gt;alert(1)&lt;/script&gt;"), std::string::npos);
    EXPECT_NE(symbolPage.find("banner &quot;x"), std::string::npos);

    // The ticker pastes labels in as typed: '<' and '"' arrive unencoded.
    const std::string rawPage = BodyOf(service.port(), "/orvo.html?s=<b>\"AT&T\"&v=5.6&ban=21");
    EXPECT_EQ(rawPage.find("<b>\"AT"), std::string::npos);
    EXPECT_NE(rawPage.find("&lt;b&gt;&quot;AT&amp;T&quot;"), std::string::npos);

    const std::string linkPage = BodyOf(service.port(), "/orvo.html?url=javascript:alert(%22x%22)&v=5.6&ban=21");
    EXPECT_EQ(linkPage.find("href=\"javascript"), std::string::npos);
    EXPECT_NE(linkPage.find("javascript:alert(&quot;x&quot;)"), std::string::npos);
}

}  // namespace
}  // namespace service_test
