#include "service/server/service_core.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace service {
namespace {

constexpr int kPort = 8642;

ServiceOptions Options() { return ServiceOptions{}; }

TEST(ServerMessage, DefaultsToMarketNewsLinksAndSaysWhenQuotesAreSimulated) {
    EXPECT_EQ(DefaultServerMessage(kPort),
              "Market News<127.0.0.1:8642/news.html>, Market Hours<127.0.0.1:8642/news.html#hours>, "
              "Simulated Quotes<127.0.0.1:8642/help.html#simulated>");
    ServiceCore core(Options(), kPort);
    EXPECT_EQ(core.Respond("/getmessage.asp", "ID=!VELMORIA!").reply.body, DefaultServerMessage(kPort));

    EXPECT_EQ(DefaultServerMessage(kPort, false),
              "Market News<127.0.0.1:8642/news.html>, Market Hours<127.0.0.1:8642/news.html#hours>");
    ServiceOptions live = Options();
    live.sources = {"chart"};
    live.providerUrls["chart"] = "http://127.0.0.1:9";
    ServiceCore liveCore(live, kPort);
    EXPECT_EQ(liveCore.ServerMessage(), DefaultServerMessage(kPort, false)) << "real quotes need no warning";
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

TEST(Detail, SendsAQuoteToTheUsersOwnDetailPage) {
    ServiceOptions options = Options();
    options.detailUrl = "https://broker.example/quote/{symbol}?from=velmoria";
    ServiceCore core(options, kPort);
    const Reply reply = core.Respond("/orvo.html", "s=brk.b&v=5.6&ban=21").reply;
    EXPECT_EQ(reply.status, kStatusFound);
    ASSERT_EQ(reply.headers.size(), 1u);
    EXPECT_EQ(reply.headers[0].name, "Location");
    EXPECT_EQ(reply.headers[0].value, "https://broker.example/quote/BRK.B?from=velmoria");
    const std::string link = core.Respond("/orvo.html", "url=http://x/&v=5.6&ban=21").reply.body;
    EXPECT_NE(link.find("<a href=\"http://x/\">"), std::string::npos) << "a link item keeps our page";
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

const char* const kPinnedIbm = "\"IBM\",0.00,\"4:00PM\",0.00,0,0,0,0\r\n";

std::string Encoded(const std::string& text) {
    std::string encoded;
    char escape[4];
    for (const unsigned char c : text) {
        if (std::isalnum(c)) {
            encoded += static_cast<char>(c);
        } else {
            std::snprintf(escape, sizeof escape, "%%%02X", c);
            encoded += escape;
        }
    }
    return encoded;
}

TEST(Pins, AnswerTheSymbolsLineAsItIsOnBothSources) {
    ServiceCore core(Options(), kPort);
    ASSERT_EQ(core.Respond("/control/pin", "symbol=ibm&line=" + Encoded(kPinnedIbm)).reply.status, kStatusOk);
    EXPECT_EQ(core.Respond("/d/quotes.csv", "f=sl1t1c1ghpv&s=IBM").reply.body, kPinnedIbm);
    EXPECT_EQ(core.Respond("/d/quotes.csv", "f=sl1t1c1ghpv&s=ibm").reply.body, kPinnedIbm);
    // Other symbols of the same request keep their walk.
    const std::string pair = core.Respond("/d/quotes.csv", "f=sl1t1c1ghpv&s=MSFT+IBM").reply.body;
    EXPECT_EQ(pair.find("\"MSFT\","), 0u);
    EXPECT_EQ(pair.substr(pair.size() - std::string(kPinnedIbm).size()), kPinnedIbm);
    // London still sends its titles first.
    const std::string london = core.Respond("/uk/quotes.csv", "f=sl1t1c1ghpvo&s=IBM").reply.body;
    EXPECT_EQ(london, "Symbol,Last Trade,Trade Time,Change,Day's Low,Day's High,Previous Close,Volume,Open\r\n" +
                          std::string(kPinnedIbm));
}

TEST(Pins, TakeAnyTextEvenForUnknownSymbols) {
    ServiceCore core(Options(), kPort);
    const std::string lines[] = {"", "\"BOGUS\",12 5/64,\"4:00PM\",+0 1/64\r\n", "a\r\nsecond line\r\n", "no line end"};
    for (const std::string& line : lines) {
        ASSERT_EQ(core.Respond("/control/pin", "symbol=BOGUS&line=" + Encoded(line)).reply.status, kStatusOk);
        EXPECT_EQ(core.Respond("/d/quotes.csv", "s=BOGUS").reply.body, line);
    }
}

TEST(Pins, LeaveTheWalkWhereItWasUntilUnpinned) {
    ServiceCore pinned(Options(), kPort);
    ServiceCore plain(Options(), kPort);
    EXPECT_EQ(pinned.Respond("/d/quotes.csv", "s=IBM").reply.body, plain.Respond("/d/quotes.csv", "s=IBM").reply.body);
    ASSERT_EQ(pinned.Respond("/control/pin", "symbol=IBM&line=x").reply.status, kStatusOk);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(pinned.Respond("/d/quotes.csv", "s=IBM").reply.body, "x");
    ASSERT_EQ(pinned.Respond("/control/unpin", "symbol=ibm").reply.status, kStatusOk);
    EXPECT_EQ(pinned.Respond("/d/quotes.csv", "s=IBM").reply.body, plain.Respond("/d/quotes.csv", "s=IBM").reply.body);
}

TEST(Pins, UnpinWithoutSymbolAndResetGoBackToTheStart) {
    ServiceOptions options = Options();
    options.pins.push_back({"IBM", "start"});
    ServiceCore core(options, kPort);
    EXPECT_EQ(core.Respond("/d/quotes.csv", "s=IBM").reply.body, "start");
    ASSERT_EQ(core.Respond("/control/pin", "symbol=IBM&line=later").reply.status, kStatusOk);
    ASSERT_EQ(core.Respond("/control/pin", "symbol=MSFT&line=other").reply.status, kStatusOk);
    EXPECT_EQ(core.Respond("/d/quotes.csv", "s=IBM+MSFT").reply.body, "laterother");

    ASSERT_EQ(core.Respond("/control/reset", "").reply.status, kStatusOk);
    EXPECT_EQ(core.Respond("/d/quotes.csv", "s=IBM").reply.body, "start");
    EXPECT_EQ(core.Respond("/d/quotes.csv", "s=MSFT").reply.body.find("\"MSFT\","), 0u);

    ASSERT_EQ(core.Respond("/control/unpin", "").reply.status, kStatusOk);
    EXPECT_EQ(core.Respond("/d/quotes.csv", "s=IBM").reply.body.find("\"IBM\","), 0u);
}

TEST(ExchangeList, IsServedExactlyAsSet) {
    ServiceCore core(Options(), kPort);
    const std::string lists[] = {
        " , http://{host}/d/quotes.csv?f=sl1 \r\n L ,http://{host}/uk/quotes.csv \r\n",
        ",http://127.0.0.1:{port}/a,b,c\r\nL,first\r\nL,second\r\n",
        "no comma at all\r\n\r\n\r\n,http://x/\n",
        "",
    };
    for (const std::string& list : lists) {
        ASSERT_EQ(core.Respond("/control/exchanges", "text=" + Encoded(list)).reply.status, kStatusOk);
        EXPECT_EQ(core.Respond("/exchanges.html", "").reply.body, ExpandPlaceholders(list, kPort)) << list;
    }
    EXPECT_EQ(ExpandPlaceholders(lists[0], kPort),
              " , http://127.0.0.1:8642/d/quotes.csv?f=sl1 \r\n L ,http://127.0.0.1:8642/uk/quotes.csv \r\n");
}

TEST(ExchangeList, StartsAsGivenAndResetPutsItBack) {
    ServiceOptions options = Options();
    options.exchanges = "X,http://{host}/x.csv\r\n";
    ServiceCore core(options, kPort);
    EXPECT_EQ(core.Respond("/exchanges.html", "").reply.body, "X,http://127.0.0.1:8642/x.csv\r\n");
    ASSERT_EQ(core.Respond("/control/exchanges", "text=other").reply.status, kStatusOk);
    ASSERT_EQ(core.Respond("/control/reset", "").reply.status, kStatusOk);
    EXPECT_EQ(core.Respond("/exchanges.html", "").reply.body, "X,http://127.0.0.1:8642/x.csv\r\n");

    ServiceCore standard(Options(), kPort);
    ASSERT_EQ(standard.Respond("/control/exchanges", "text=other").reply.status, kStatusOk);
    ASSERT_EQ(standard.Respond("/control/reset", "").reply.status, kStatusOk);
    EXPECT_EQ(standard.Respond("/exchanges.html", "").reply.body, ExchangeList(kPort));
}

TEST(Control, FaultsCountAnswersAndPickSymbols) {
    ServiceCore core(Options(), kPort);
    ASSERT_EQ(core.Respond("/control/fault", "path=/d/quotes.csv&symbol=xyz&mode=empty&count=2").reply.status,
              kStatusOk);
    EXPECT_NE(core.Respond("/d/quotes.csv", "s=IBM").reply.body, "");
    EXPECT_EQ(core.Respond("/d/quotes.csv", "s=IBM+XYZ").reply.body, "");
    EXPECT_EQ(core.Respond("/d/quotes.csv", "s=xyz").reply.body, "");
    EXPECT_NE(core.Respond("/d/quotes.csv", "s=XYZ").reply.body, "");
    // A symbol's fault without a path is for every path that takes symbols.
    ASSERT_EQ(core.Respond("/control/fault", "symbol=VOD.L&mode=status&arg=503&count=once").reply.status, kStatusOk);
    EXPECT_EQ(core.Respond("/uk/quotes.csv", "s=VOD.L").reply.status, 503);
    EXPECT_EQ(core.Respond("/uk/quotes.csv", "s=VOD.L").reply.status, kStatusOk);
    EXPECT_EQ(core.Respond("/control/fault", "symbol=VOD.L&mode=status&count=always").reply.status, kStatusOk);
    EXPECT_EQ(core.Respond("/orvo.html", "s=VOD.L&v=5.6&ban=21").reply.status, kStatusOk);
    EXPECT_EQ(core.Respond("/exchanges.html", "").reply.status, kStatusOk);
}

TEST(Control, RefusesBadPinsCountsAndLists) {
    ServiceCore core(Options(), kPort);
    const struct {
        const char* path;
        const char* query;
    } cases[] = {
        {"/control/fault", "mode=close&count=0"},   {"/control/fault", "mode=close&count=soon"},
        {"/control/fault", "mode=close&count="},    {"/control/pin", "line=x"},
        {"/control/pin", "symbol=&line=x"},         {"/control/pin", "symbol=IBM"},
        {"/control/exchanges", ""},                 {"/control/exchanges", "txt=x"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(core.Respond(c.path, c.query).reply.status, kStatusBadRequest) << c.path << "?" << c.query;
    }
}

TEST(Control, RedirectsLeadBackToTheSameRequest) {
    ServiceCore core(Options(), kPort, 9);
    const struct {
        const char* mode;
        const char* location;
    } cases[] = {
        {"redirect-loop", "http://127.0.0.1:8642/d/quotes.csv?f=sl1&s=IBM"},
        {"redirect-https", "https://127.0.0.1:8642/d/quotes.csv?f=sl1&s=IBM"},
        {"redirect-dead", "http://127.0.0.1:9/d/quotes.csv?f=sl1&s=IBM"},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(core.Respond("/control/fault", std::string("path=/d/quotes.csv&mode=") + c.mode).reply.status,
                  kStatusOk);
        const Reply reply = core.Respond("/d/quotes.csv", "f=sl1&s=IBM").reply;
        EXPECT_EQ(reply.status, kStatusFound) << c.mode;
        ASSERT_EQ(reply.headers.size(), 1u) << c.mode;
        EXPECT_EQ(reply.headers[0].value, c.location) << c.mode;
    }
    // A path that needs escaping gets it back.
    ASSERT_EQ(core.Respond("/control/fault", "mode=redirect-loop").reply.status, kStatusOk);
    EXPECT_EQ(core.Respond("/a b?#", "").reply.headers.at(0).value, "http://127.0.0.1:8642/a%20b%3F%23");
}

TEST(Memory, ManyDistinctSymbolsDoNotPileUp) {
    constexpr int kSymbols = 100000;
    ServiceCore core(Options(), kPort);
    for (int i = 0; i < kSymbols; ++i) core.Respond("/d/quotes.csv", "s=S" + std::to_string(i));
    EXPECT_LE(core.RememberedSymbols(), kMaxRememberedSymbols);
    EXPECT_GT(core.RememberedSymbols(), 0u);
}

}  // namespace
}  // namespace service
