#include "service/simulated/quote_model.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace service {
namespace {

void ExpectSameQuote(const Quote& a, const Quote& b) {
    EXPECT_EQ(a.symbol, b.symbol);
    EXPECT_EQ(a.lastCents, b.lastCents);
    EXPECT_EQ(a.openCents, b.openCents);
    EXPECT_EQ(a.prevCloseCents, b.prevCloseCents);
    EXPECT_EQ(a.lowCents, b.lowCents);
    EXPECT_EQ(a.highCents, b.highCents);
    EXPECT_EQ(a.volume, b.volume);
    EXPECT_EQ(a.minutesSinceOpen, b.minutesSinceOpen);
    EXPECT_EQ(a.recentCents, b.recentCents);
}

TEST(KnownSymbol, FollowsTheServiceRule) {
    const struct {
        const char* symbol;
        bool known;
    } cases[] = {
        {"IBM", true},      {"VOD.L", true},      {"^DJI", true},         {"BRK-B", true}, {"GBPUSD=X", true},
        {"A", true},        {"ABCDEFGHIJ", true}, {"ABCDEFGHIJK", false}, {"", false},     {"BOGUS", false},
        {"BOGUS.L", false}, {"BOGUSX", true},     {"A B", false},         {"A$B", false},  {"ibm", false},
        {"A\"B", false},    {"A,B", false},
    };
    for (const auto& c : cases) EXPECT_EQ(IsKnownSymbol(c.symbol), c.known) << c.symbol;
}

TEST(BasePrice, IsFixedPerSymbolAndInRange) {
    for (const char* symbol : {"IBM", "MSFT", "VOD.L", "^DJI", "Z"}) {
        const std::int64_t base = BasePriceCents(symbol);
        EXPECT_GE(base, 500) << symbol;
        EXPECT_LE(base, 49999) << symbol;
        EXPECT_EQ(base, BasePriceCents(symbol));
    }
    EXPECT_NE(BasePriceCents("IBM"), BasePriceCents("MSFT"));
    // The seed moves the walk, never the previous close.
    EXPECT_EQ(QuoteModel(1).Next("IBM")->prevCloseCents, QuoteModel(99).Next("IBM")->prevCloseCents);
    EXPECT_EQ(QuoteModel(1).Next("IBM")->prevCloseCents, BasePriceCents("IBM"));
}

TEST(TradeTime, CountsFromTheOpeningBell) {
    const struct {
        int minutes;
        const char* text;
    } cases[] = {{0, "9:30AM"},   {29, "9:59AM"},  {30, "10:00AM"}, {149, "11:59AM"}, {150, "12:00PM"},
                 {211, "1:01PM"}, {390, "4:00PM"}, {999, "4:00PM"}, {-5, "9:30AM"}};
    for (const auto& c : cases) EXPECT_EQ(TradeTimeText(c.minutes), c.text) << c.minutes;
}

TEST(RandomWalk, SameSeedAndRequestsGiveTheSameQuotes) {
    QuoteModel first(42);
    QuoteModel second(42);
    const char* sequence[] = {"IBM", "MSFT", "IBM", "VOD.L", "msft", "IBM", "^DJI", "VOD.L"};
    for (const char* symbol : sequence) ExpectSameQuote(*first.Next(symbol), *second.Next(symbol));
}

TEST(RandomWalk, DifferentSeedsWalkDifferently) {
    QuoteModel first(1);
    QuoteModel second(2);
    bool differed = false;
    for (int step = 0; step < 10; ++step) differed |= first.Next("IBM")->lastCents != second.Next("IBM")->lastCents;
    EXPECT_TRUE(differed);
}

TEST(RandomWalk, ASymbolsWalkIgnoresRequestsForOthers) {
    QuoteModel alone(7);
    QuoteModel mixed(7);
    for (int step = 0; step < 5; ++step) {
        mixed.Next("MSFT");
        mixed.Next("VOD.L");
        ExpectSameQuote(*alone.Next("IBM"), *mixed.Next("IBM"));
    }
}

TEST(RandomWalk, KeepsTheDayConsistent) {
    QuoteModel model(3);
    std::optional<Quote> previous = model.Current("IBM");
    for (int step = 0; step < 300; ++step) {
        const Quote quote = *model.Next("IBM");
        EXPECT_LE(quote.lowCents, quote.lastCents);
        EXPECT_GE(quote.highCents, quote.lastCents);
        EXPECT_LE(quote.lowCents, quote.openCents);
        EXPECT_GE(quote.highCents, quote.openCents);
        EXPECT_LE(quote.lowCents, previous->lowCents);
        EXPECT_GE(quote.highCents, previous->highCents);
        EXPECT_GT(quote.volume, previous->volume);
        EXPECT_GE(quote.minutesSinceOpen, previous->minutesSinceOpen);
        EXPECT_LE(quote.minutesSinceOpen, 390);
        EXPECT_GE(quote.lastCents, 1);
        // One step moves at most 1.5%, or one cent for a cheap stock.
        EXPECT_LE(std::llabs(quote.lastCents - previous->lastCents),
                  std::max<std::int64_t>(1, previous->lastCents * 150 / 10000));
        EXPECT_EQ(quote.prevCloseCents, previous->prevCloseCents);
        EXPECT_EQ(quote.openCents, previous->openCents);
        previous = quote;
    }
}

TEST(RandomWalk, OpensNearThePreviousClose) {
    for (const char* symbol : {"IBM", "MSFT", "VOD.L", "A", "Q"}) {
        const Quote quote = *QuoteModel(5).Current(symbol);
        EXPECT_LE(std::llabs(quote.openCents - quote.prevCloseCents),
                  std::max<std::int64_t>(1, quote.prevCloseCents / 100))
            << symbol;
        EXPECT_EQ(quote.lastCents, quote.openCents) << symbol;
        EXPECT_EQ(quote.volume, 0) << symbol;
        EXPECT_EQ(quote.minutesSinceOpen, 0) << symbol;
    }
}

TEST(RandomWalk, CurrentDoesNotMoveTheWalk) {
    QuoteModel looked(11);
    QuoteModel untouched(11);
    const Quote before = *looked.Current("IBM");
    ExpectSameQuote(before, *looked.Current("IBM"));
    EXPECT_EQ(before.recentCents.size(), 1u);
    ExpectSameQuote(*looked.Next("IBM"), *untouched.Next("IBM"));
    const Quote after = *looked.Current("IBM");
    ExpectSameQuote(after, *untouched.Current("IBM"));
    EXPECT_EQ(after.recentCents.size(), 2u);
}

TEST(RandomWalk, RemembersARecentWindowEndingWithTheLastTrade) {
    QuoteModel model(9);
    Quote quote;
    for (std::size_t step = 0; step < kRecentPriceCount + 15; ++step) quote = *model.Next("IBM");
    EXPECT_EQ(quote.recentCents.size(), kRecentPriceCount);
    EXPECT_EQ(quote.recentCents.back(), quote.lastCents);
}

TEST(RandomWalk, RestartReplaysFromTheSeed) {
    QuoteModel model(21);
    std::vector<Quote> firstRun;
    for (int step = 0; step < 4; ++step) firstRun.push_back(*model.Next("IBM"));
    model.Restart(21);
    for (const Quote& expected : firstRun) ExpectSameQuote(*model.Next("IBM"), expected);
    model.Restart(22);
    QuoteModel other(22);
    ExpectSameQuote(*model.Next("IBM"), *other.Next("IBM"));
}

TEST(RandomWalk, TakesSymbolsInUpperCaseAndRefusesUnknownOnes) {
    QuoteModel model(1);
    EXPECT_EQ(model.Next("vod.l")->symbol, "VOD.L");
    EXPECT_EQ(model.Next("BOGUS"), std::nullopt);
    EXPECT_EQ(model.Current("WAYTOOLONGSYMBOL"), std::nullopt);
    EXPECT_EQ(model.Next("bogus"), std::nullopt);
}

TEST(RandomWalk, RemembersABoundedNumberOfSymbolsTheRecentOnesFirst) {
    constexpr int kDistinctSymbols = 100000;
    QuoteModel model(5);
    QuoteModel reference(5);
    // IBM is asked for all along, so it is never the least recently used.
    std::optional<Quote> ibm;
    std::optional<Quote> expected;
    for (int i = 0; i < kDistinctSymbols; ++i) {
        model.Next("S" + std::to_string(i));
        if (i % 1000 == 0) {
            ibm = model.Next("IBM");
            expected = reference.Next("IBM");
        }
    }
    EXPECT_LE(model.RememberedSymbols(), kMaxRememberedSymbols);
    EXPECT_GE(model.RememberedSymbols(), kMaxRememberedSymbols / 2);
    ASSERT_TRUE(ibm);
    ExpectSameQuote(*ibm, *expected);
    ExpectSameQuote(*model.Next("IBM"), *reference.Next("IBM"));

    // The first symbol was forgotten long ago: its walk starts afresh.
    ExpectSameQuote(*model.Next("S0"), *QuoteModel(5).Next("S0"));
}

TEST(RandomWalk, RestartForgetsEverySymbol) {
    QuoteModel model(5);
    for (const char* symbol : {"IBM", "MSFT", "VOD.L"}) model.Next(symbol);
    EXPECT_EQ(model.RememberedSymbols(), 3u);
    model.Restart(6);
    EXPECT_EQ(model.RememberedSymbols(), 0u);
}

}  // namespace
}  // namespace service
