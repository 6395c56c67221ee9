// The user's own detail page: the template's checks and the symbol forms.
#include "service/pages/detail_address.h"

#include <gtest/gtest.h>

namespace service {
namespace {

TEST(DetailAddress, TakesOnlyAnHttpAddressHoldingTheSymbol) {
    for (const char* good : {"https://broker.example/quote/{symbol}", "http://127.0.0.1:9/q?s={symbol}&x={symbol}"}) {
        EXPECT_TRUE(IsDetailTemplate(good)) << good;
    }
    for (const char* bad : {"", "https://broker.example/quote", "ftp://x/{symbol}", "javascript:{symbol}",
                            "https://", "https://x/{symbol}\r\nSet-Cookie: a=b", "https://x/ {symbol}",
                            "https://x/\xC3\xA9/{symbol}"}) {
        EXPECT_FALSE(IsDetailTemplate(bad)) << bad;
    }
}

TEST(DetailAddress, PutsTheSymbolInEachSourcesFormEscaped) {
    struct Case {
        const char* source;
        const char* symbol;
        const char* address;
    };
    const Case cases[] = {
        {"chart", "IBM", "https://p.example/IBM/x?s=IBM"},
        {"chart", "BRK.B", "https://p.example/BRK-B/x?s=BRK-B"},
        {"chart", "^DJI", "https://p.example/%5EDJI/x?s=%5EDJI"},
        {"finnhub", "BRK.B", "https://p.example/BRK-B/x?s=BRK-B"},
        {"twelvedata", "BRK-B", "https://p.example/BRK.B/x?s=BRK.B"},
        {"twelvedata", "EURUSD=X", "https://p.example/EUR%2FUSD/x?s=EUR%2FUSD"},
        {"twelvedata", "VOD.L", "https://p.example/VOD%3ALSE/x?s=VOD%3ALSE"},
        {"simulated", "VOD.L", "https://p.example/VOD.L/x?s=VOD.L"},
        {"simulated", "A&B", "https://p.example/A%26B/x?s=A%26B"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DetailAddress("https://p.example/{symbol}/x?s={symbol}", SourceSymbolForm(c.source, c.symbol)),
                  c.address)
            << c.source << " " << c.symbol;
    }
}

}  // namespace
}  // namespace service
