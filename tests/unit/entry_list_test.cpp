// The entry-list syntax, per-symbol quote addresses and quote sources.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "quotes/browser.h"
#include "quotes/endpoints.h"
#include "quotes/entry_list.h"
#include "quotes/text.h"

namespace {

using quotes::ExchangeMap;

TEST(SplitEntries, TrimsAndDropsEmptyEntries) {
    struct Case {
        std::string list;
        std::vector<std::string> entries;
        std::string normalised;
    };
    const Case cases[] = {
        {"ibm,msft", {"ibm", "msft"}, "ibm, msft"},
        {" IBM ,, MSFT , ", {"IBM", "MSFT"}, "IBM, MSFT"},
        {"", {}, ""},
        {",,, ,", {}, ""},
        {"\tA\r\n,\vB\f", {"A", "B"}, "A, B"},
        {"News<http://x/y?a=1&b=2>, IBM", {"News<http://x/y?a=1&b=2>", "IBM"}, "News<http://x/y?a=1&b=2>, IBM"},
        {"ONE", {"ONE"}, "ONE"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(quotes::SplitEntries(c.list), c.entries) << '"' << c.list << '"';
        EXPECT_EQ(quotes::JoinEntries(quotes::SplitEntries(c.list)), c.normalised) << '"' << c.list << '"';
    }
}

TEST(ParseEntry, LabelAndLink) {
    struct Case {
        std::string entry;
        std::string label;
        std::string link;
    };
    const Case cases[] = {
        {"IBM", "IBM", ""},
        {"News<some/path>", "News", "http://some/path"},
        {"News<https://some/path>", "News", "https://some/path"},
        {"News < \t some/path >", "News", "http://some/path"},
        {"<a>", "<a>", ""},
        {"A>B<C>", "A>B<C>", ""},
        {"X<>", "X", "http://"},
        {"A<b>tail", "A", "http://b"},
        {"A<b", "A<b", ""},
        {"Market News", "Market News", ""},
        {"Help<127.0.0.1:8642/help.html>", "Help", "http://127.0.0.1:8642/help.html"},
        {"Q<ftp://h/x>", "Q", "ftp://h/x"},
    };
    for (const Case& c : cases) {
        const quotes::ParsedEntry parsed = quotes::ParseEntry(c.entry);
        EXPECT_EQ(parsed.label, c.label) << c.entry;
        EXPECT_EQ(parsed.linkUrl, c.link) << c.entry;
    }
}

TEST(SymbolQuoteAddress, AppendsTheUpperCasedSymbol) {
    struct Case {
        std::string source;
        std::string label;
        std::string address;
    };
    const Case cases[] = {
        {"http://q/d/quotes.csv?f=x", "ibm", "http://q/d/quotes.csv?f=x&s=IBM"},
        {"http://q/d/quotes.csv?f=x&", "msft", "http://q/d/quotes.csv?f=x&s=MSFT"},
        {"http://q/d/quotes.csv?f=x", "Market News", ""},
        {"", "IBM", ""},
        {"http://q/a", "vod.l", "http://q/a&s=VOD.L"},
    };
    for (const Case& c : cases) EXPECT_EQ(quotes::SymbolQuoteAddress(c.source, c.label), c.address) << c.label;
}

TEST(QuoteSourceFor, SuffixThenDefaultEntryThenQuoteService) {
    const ExchangeMap exchanges = {{"L", "http://uk/l"}, {"", "http://default"}, {"TO", ""}};
    const ExchangeMap noDefault = {{"L", "http://uk/l"}};
    struct Case {
        const ExchangeMap* map;
        std::string symbol;
        std::string source;
    };
    const std::string service = quotes::DefaultQuoteSource();
    const Case cases[] = {
        {&exchanges, "VOD.L", "http://uk/l"},   {&exchanges, "IBM", "http://default"},
        {&exchanges, ".L", "http://default"},   {&exchanges, "VOD.", "http://default"},
        {&exchanges, "RY.TO", "http://default"}, {&exchanges, "vod.l", "http://default"},
        {&noDefault, "IBM", service},            {&noDefault, ".L", service},
        {&noDefault, "News<x.L>", service},       {&noDefault, "News<a/b.L", "http://uk/l"},
    };
    for (const Case& c : cases) EXPECT_EQ(quotes::QuoteSourceFor(*c.map, c.symbol), c.source) << c.symbol;
    EXPECT_EQ(service, quotes::QuoteService() + "/d/quotes.csv?f=sl1t1c1ghpv");
}

TEST(Text, TrimAndUpperCase) {
    EXPECT_EQ(quotes::Trim(" \t\r\n\v\fa b\f\v\n\r\t "), "a b");
    EXPECT_EQ(quotes::UpperCase("vod.l-x_y"), "VOD.L-X_Y");
    EXPECT_EQ(quotes::UpperCase("\xE9t\xE9\xF7\xFF"), "\xC9T\xC9\xF7\x9F") << "code page 1252 letters";
}

TEST(DetailPages, SubstituteAsTypedButEscapeWhatCouldBreakTheCommandLine) {
    const std::string home = quotes::HomeSite();
    EXPECT_EQ(quotes::SymbolDetailPage("IBM"), home + "/orvo.html?s=IBM&v=5.6&ban=21");
    EXPECT_EQ(quotes::LinkDetailPage("http://x/?a=1&b=2"), home + "/orvo.html?url=http://x/?a=1&b=2&v=5.6&ban=21");
    EXPECT_EQ(quotes::LinkDetailPage("http://x\" --some-flag \""),
              home + "/orvo.html?url=http://x%22%20--some-flag%20%22&v=5.6&ban=21");
    EXPECT_EQ(quotes::EscapeForCommandLine(std::string("a\x01\x1f\x7f\tb%41", 9)), "a%01%1F%7F%09b%41");
}

}  // namespace
