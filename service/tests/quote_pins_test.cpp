#include "service/simulated/quote_pins.h"

#include <gtest/gtest.h>

namespace service {
namespace {

TEST(ParsePinnedLine, SplitsAtTheFirstColon) {
    const struct {
        const char* text;
        bool valid;
        const char* symbol;
        const char* line;
    } cases[] = {
        {"ibm:\"IBM\",1.00,\"4:00PM\",0.00\r\n", true, "IBM", "\"IBM\",1.00,\"4:00PM\",0.00\r\n"},
        {"EURUSD=X:x", true, "EURUSD=X", "x"},
        {"IBM:", true, "IBM", ""},
        {":line", false, "", ""},
        {"IBM", false, "", ""},
        {"", false, "", ""},
    };
    for (const auto& c : cases) {
        const auto pin = ParsePinnedLine(c.text);
        ASSERT_EQ(pin.has_value(), c.valid) << c.text;
        if (!pin) continue;
        EXPECT_EQ(pin->symbol, c.symbol) << c.text;
        EXPECT_EQ(pin->line, c.line) << c.text;
    }
}

TEST(PinnedQuotes, MatchSymbolsInAnyCaseAndResetToTheStart) {
    PinnedQuotes pins(std::vector<PinnedLine>{{"ibm", "start"}});
    EXPECT_EQ(pins.For("IBM"), "start");
    EXPECT_EQ(pins.For("Ibm"), "start");
    EXPECT_EQ(pins.For("MSFT"), std::nullopt);

    pins.Pin("msft", "m");
    pins.Pin("IBM", "later");
    EXPECT_EQ(pins.For("MSFT"), "m");
    EXPECT_EQ(pins.For("ibm"), "later");
    pins.Unpin("Msft");
    EXPECT_EQ(pins.For("MSFT"), std::nullopt);

    pins.UnpinAll();
    EXPECT_EQ(pins.For("IBM"), std::nullopt);
    pins.Pin("X", "x");
    pins.Reset();
    EXPECT_EQ(pins.For("IBM"), "start");
    EXPECT_EQ(pins.For("X"), std::nullopt);
}

}  // namespace
}  // namespace service
