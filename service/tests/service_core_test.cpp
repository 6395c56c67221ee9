#include "service/service_core.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace service {
namespace {

constexpr int kPort = 8642;

ServiceOptions Options() { return ServiceOptions{}; }

TEST(ServerMessage, DefaultsToMarketNewsLinks) {
    EXPECT_EQ(DefaultServerMessage(kPort),
              "Market News<127.0.0.1:8642/news.html>, Market Hours<127.0.0.1:8642/news.html#hours>");
    ServiceCore core(Options(), kPort);
    EXPECT_EQ(core.Respond("/getmessage.asp", "ID=!VELMORIA!").reply.body, DefaultServerMessage(kPort));
}

TEST(ServerMessage, ExpandsPlaceholdersInAGivenMessage) {
    EXPECT_EQ(ExpandPlaceholders("A<{host}/a>, {port}, {other}", 1234), "A<127.0.0.1:1234/a>, 1234, {other}");
    ServiceOptions options = Options();
    options.message = "Alert<{host}/news.html>";
    ServiceCore core(options, 5000);
    EXPECT_EQ(core.ServerMessage(), "Alert<127.0.0.1:5000/news.html>");
}

TEST(ExchangeList, MapsTheDefaultAndLondon) {
    EXPECT_EQ(ExchangeList(kPort),
              ",http://127.0.0.1:8642/d/quotes.csv?f=sl1t1c1ghpv\r\n"
              "L,http://127.0.0.1:8642/uk/quotes.csv?f=sl1t1c1ghpvo\r\n");
}

TEST(Quotes, AnswerOneLinePerSymbol) {
    ServiceCore core(Options(), kPort);
    const Reply reply = core.Respond("/d/quotes.csv", "f=sl1t1c1ghpv&s=IBM+bogus,msft").reply;
    EXPECT_EQ(reply.contentType, kCsvType);
    ASSERT_EQ(reply.body.find("\"IBM\","), 0u) << reply.body;
    EXPECT_NE(reply.body.find("\r\n\"BOGUS\",N/A,\"N/A\",N/A,N/A,N/A,N/A,N/A\r\n\"MSFT\","), std::string::npos)
        << reply.body;
}

TEST(Quotes, WithoutASymbolAreABadRequest) {
    ServiceCore core(Options(), kPort);
    for (const char* query : {"f=sl1t1c1ghpv", "f=sl1t1c1ghpv&s=", "s=+,+"}) {
        EXPECT_EQ(core.Respond("/d/quotes.csv", query).reply.status, kStatusBadRequest) << query;
    }
}

TEST(Quotes, FollowTheFormatLetters) {
    ServiceCore core(Options(), kPort);
    const std::string body = core.Respond("/d/quotes.csv", "f=sv&s=IBM").reply.body;
    EXPECT_EQ(body.find("\"IBM\","), 0u);
    EXPECT_EQ(std::count(body.begin(), body.end(), ','), 1);
    // Without f each source has its usual columns.
    const std::string london = core.Respond("/uk/quotes.csv", "s=VOD.L").reply.body;
    const std::string dataLine = london.substr(london.find('\n') + 1);
    EXPECT_EQ(std::count(dataLine.begin(), dataLine.end(), ','), 8);
}

TEST(Detail, TellsLinksFromSymbols) {
    ServiceCore core(Options(), kPort);
    const std::string link = core.Respond("/orvo.html", "url=http://x/?s=1&v=5.6&ban=21").reply.body;
    EXPECT_NE(link.find("<a href=\"http://x/?s=1\">"), std::string::npos);
    const std::string quote = core.Respond("/orvo.html", "s=ibm&v=5.6&ban=21").reply.body;
    EXPECT_NE(quote.find("<h1>ibm</h1>"), std::string::npos);
    EXPECT_NE(quote.find("<svg"), std::string::npos);
    EXPECT_EQ(core.Respond("/orvo.html", "").reply.status, kStatusNotFound);
}

TEST(Detail, ShowsTheLastQuoteGivenOut) {
    ServiceCore core(Options(), kPort);
    core.Respond("/d/quotes.csv", "s=IBM");
    const std::string line = core.Respond("/d/quotes.csv", "s=IBM").reply.body;
    const std::string last = line.substr(6, line.find(',', 6) - 6);
    const std::string page = core.Respond("/orvo.html", "s=IBM&v=5.6&ban=21").reply.body;
    EXPECT_NE(page.find("<b>" + last + "</b>"), std::string::npos) << last;
    // Looking at the page does not move the walk.
    EXPECT_EQ(core.Respond("/orvo.html", "s=IBM&v=5.6&ban=21").reply.body, page);
}

TEST(Routing, AnswersUnknownPathsWithNotFound) {
    ServiceCore core(Options(), kPort);
    EXPECT_EQ(core.Respond("/nowhere.html", "").reply.status, kStatusNotFound);
    EXPECT_EQ(core.Respond("/control/nowhere", "").reply.status, kStatusNotFound);
    EXPECT_EQ(core.Respond("/", "").reply.contentType, kHtmlType);
}

TEST(Control, FaultsSparesTheControlPaths) {
    ServiceCore core(Options(), kPort);
    ASSERT_EQ(core.Respond("/control/fault", "mode=status&arg=503").reply.status, kStatusOk);
    EXPECT_EQ(core.Respond("/help.html", "").reply.status, 503);
    EXPECT_EQ(core.Respond("/nowhere", "").reply.status, 503);
    EXPECT_EQ(core.Respond("/control/reset", "").reply.status, kStatusOk);
    EXPECT_EQ(core.Respond("/help.html", "").reply.status, kStatusOk);
}

TEST(Control, RefusesBadRequests) {
    ServiceCore core(Options(), kPort);
    for (const char* query : {"", "path=/x", "mode=explode", "mode=status&arg=200", "mode=slow&arg=soon"}) {
        EXPECT_EQ(core.Respond("/control/fault", query).reply.status, kStatusBadRequest) << query;
    }
    EXPECT_EQ(core.Respond("/control/message", "").reply.status, kStatusBadRequest);
    EXPECT_EQ(core.Respond("/control/reseed", "seed=x").reply.status, kStatusBadRequest);
    EXPECT_EQ(core.Respond("/control/reseed", "seed=").reply.status, kStatusBadRequest);
}

TEST(Control, StartsWithTheFaultsItWasGiven) {
    ServiceOptions options = Options();
    options.faults.push_back(*ParsePathFault("/d/quotes.csv=empty"));
    ServiceCore core(options, kPort);
    EXPECT_EQ(core.Respond("/d/quotes.csv", "s=IBM").reply.body, "");
    EXPECT_NE(core.Respond("/exchanges.html", "").reply.body, "");
}

}  // namespace
}  // namespace service
