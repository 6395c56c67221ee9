#include "service/sources/quote_cache.h"

#include <gtest/gtest.h>

#include "service/sources/symbol_forms.h"

namespace service {
namespace {

TEST(QuoteCache, ForgetsTheLeastRecentlyAskedBeyondItsBound) {
    QuoteCache cache(3);
    for (const char* symbol : {"A", "B", "C"}) cache.Touch(symbol).checked = true;
    cache.Touch("A");  // B is now the least recent
    cache.Touch("D");
    EXPECT_EQ(cache.Size(), 3u);
    EXPECT_EQ(cache.Find("B"), nullptr);
    EXPECT_NE(cache.Find("A"), nullptr);
    EXPECT_NE(cache.Find("C"), nullptr);
    EXPECT_TRUE(cache.Find("A")->checked) << "an entry keeps what it held";
}

TEST(QuoteCache, NeverForgetsAnEntryBeingFetched) {
    QuoteCache cache(2);
    cache.Touch("A").fetching = true;
    cache.Touch("B").fetching = true;
    cache.Touch("C");
    EXPECT_EQ(cache.Size(), 3u) << "over the bound rather than lose a fetch others wait for";
    cache.Find("A")->fetching = false;
    cache.Touch("D");
    EXPECT_EQ(cache.Find("A"), nullptr);
    EXPECT_LE(cache.Size(), 3u);
}

TEST(QuoteCache, StaysBoundedWithAnyNumberOfSymbols) {
    QuoteCache cache(100);
    for (int i = 0; i < 10000; ++i) cache.Touch("S" + std::to_string(i));
    EXPECT_EQ(cache.Size(), 100u);
    EXPECT_NE(cache.Find("S9999"), nullptr);
}

TEST(SymbolForms, TakesOnlyPlausibleSymbols) {
    for (const char* good : {"IBM", "VOD.L", "^DJI", "EURUSD=X", "BRK-B", "7203.T", "A"}) {
        EXPECT_TRUE(IsPlausibleSymbol(good)) << good;
    }
    for (const char* bad : {"", "ibm", "I B M", "IBM/X", "../X", "A?B", "A&B", "A%20", "^", "^^A", "A^B", ".L", "-A",
                            "=X", "ABCDEFGHIJKLMNOPQ", "IBM\n", "IBM\r\nHost: x"}) {
        EXPECT_FALSE(IsPlausibleSymbol(bad)) << bad;
    }
}

TEST(SymbolForms, EscapesEverythingButTheUnreserved) {
    EXPECT_EQ(EscapeQueryValue("AZaz09-._~"), "AZaz09-._~");
    EXPECT_EQ(EscapeQueryValue("^DJI"), "%5EDJI");
    EXPECT_EQ(EscapeQueryValue("EUR/USD=X &?#%"), "EUR%2FUSD%3DX%20%26%3F%23%25");
    EXPECT_EQ(EscapeQueryValue(std::string("\x00\xff", 2)), "%00%FF");
}

}  // namespace
}  // namespace service
