#include "service/simulated/faults.h"

#include "service/http/delivery.h"
#include "service/simulated/fault_table.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace service {
namespace {

const std::string kQuoteLine = "\"IBM\",123.50,\"4:00PM\",+1.25,120.00,124.00,122.25,1234567\r\n";

Reply CsvReply(const std::string& body) { return {kStatusOk, kCsvType, body}; }

TEST(ParseFault, KnowsTheModesAndTheirArguments) {
    const struct {
        const char* mode;
        std::optional<std::string> arg;
        bool valid;
    } cases[] = {
        {"status", std::nullopt, true},
        {"status", "503", true},
        {"status", "200", false},
        {"status", "600", false},
        {"empty", std::nullopt, true},
        {"truncate", "10", true},
        {"truncate", "ten", false},
        {"slow", "250", true},
        {"slow", "-1", false},
        {"slow", "", false},
        {"crlf", std::nullopt, true},
        {"lf", std::nullopt, true},
        {"zero", "0", true},
        {"oversized", "1000", true},
        {"oversized", "0", false},
        {"none", std::nullopt, true},
        {"STATUS", std::nullopt, false},
        {"explode", std::nullopt, false},
        {"close", std::nullopt, true},
        {"reset", std::nullopt, true},
        {"hang", "0", true},
        {"hang", "600000", true},
        {"hang", "600001", false},
        {"stall", std::nullopt, true},
        {"stall", "600001", false},
        {"trickle", "1", true},
        {"trickle", "0", false},
        {"cut", "12", true},
        {"badchunk", std::nullopt, true},
        {"redirect-loop", std::nullopt, true},
        {"redirect-https", std::nullopt, true},
        {"redirect-dead", std::nullopt, true},
        {"redirect", std::nullopt, false},
        {"html500", std::nullopt, true},
        {"big", "1", true},
        {"big", "4096", true},
        {"big", "0", false},
        {"big", "4097", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseFault(c.mode, c.arg).has_value(), c.valid) << c.mode << " " << c.arg.value_or("-");
    EXPECT_EQ(ParseFault("status", "503")->arg, 503u);
    EXPECT_EQ(ParseFault("oversized", std::nullopt)->mode, FaultMode::Oversized);
}

TEST(ParsePathFault, SplitsPathModeAndArgument) {
    const auto fault = ParsePathFault("/d/quotes.csv=slow:250");
    ASSERT_TRUE(fault);
    EXPECT_EQ(fault->path, "/d/quotes.csv");
    EXPECT_EQ(fault->fault.mode, FaultMode::Slow);
    EXPECT_EQ(fault->fault.arg, 250u);

    const auto every = ParsePathFault("*=empty");
    ASSERT_TRUE(every);
    EXPECT_EQ(every->path, kEveryPath);
    EXPECT_EQ(every->fault.arg, std::nullopt);

    for (const char* bad : {"=empty", "/x", "/x=", "/x=bogus", "/x=status:abc", "/x=status:", "/x=slow:1:2"}) {
        EXPECT_FALSE(ParsePathFault(bad)) << bad;
    }
}

TEST(ParseFaultCount, KnowsOnceAlwaysAndNumbers) {
    const struct {
        const char* text;
        bool valid;
        std::optional<std::uint64_t> limit;
    } cases[] = {
        {"once", true, 1},  {"always", true, std::nullopt}, {"3", true, 3},     {"3x", true, 3},
        {"1x", true, 1},    {"0", false, std::nullopt},     {"0x", false, {}},  {"x", false, {}},
        {"", false, {}},    {"-1", false, {}},              {"twice", false, {}}, {"1.5", false, {}},
        {"ONCE", false, {}}, {"3xx", false, {}},
    };
    for (const auto& c : cases) {
        const auto count = ParseFaultCount(c.text);
        ASSERT_EQ(count.has_value(), c.valid) << c.text;
        if (count) {
            EXPECT_EQ(count->limit, c.limit) << c.text;
        }
    }
}

TEST(ParsePathFault, TakesASymbolAndACount) {
    const struct {
        const char* text;
        const char* path;
        const char* symbol;
        FaultMode mode;
        std::optional<std::uint64_t> arg;
        std::optional<std::uint64_t> limit;
    } cases[] = {
        {"/d/quotes.csv#xyz=close", "/d/quotes.csv", "XYZ", FaultMode::Close, std::nullopt, std::nullopt},
        // Symbols may hold '=': the mode follows the last one.
        {"*#EURUSD=X=hang:500:once", "*", "EURUSD=X", FaultMode::Hang, 500, 1},
        {"/x=status:503:2x", "/x", "", FaultMode::Status, 503, 2},
        {"/x=close:3x", "/x", "", FaultMode::Close, std::nullopt, 3},
        {"/x=close:always", "/x", "", FaultMode::Close, std::nullopt, std::nullopt},
        {"/x=trickle:5", "/x", "", FaultMode::Trickle, 5, std::nullopt},
        {"/x=redirect-loop:once", "/x", "", FaultMode::RedirectLoop, std::nullopt, 1},
    };
    for (const auto& c : cases) {
        const auto fault = ParsePathFault(c.text);
        ASSERT_TRUE(fault) << c.text;
        EXPECT_EQ(fault->path, c.path) << c.text;
        EXPECT_EQ(fault->symbol, c.symbol) << c.text;
        EXPECT_EQ(fault->fault.mode, c.mode) << c.text;
        EXPECT_EQ(fault->fault.arg, c.arg) << c.text;
        EXPECT_EQ(fault->count.limit, c.limit) << c.text;
    }
    for (const char* bad : {"#XYZ=close", "/x#=close", "/x=close:0x", "/x=status:503:2", "/x=status:503:2x:once",
                            "/x=close:once:once", "/x=hang:soon:once"}) {
        EXPECT_FALSE(ParsePathFault(bad)) << bad;
    }
}

TEST(FaultTable, PrefersThePathsOwnFaultToTheGlobalOne) {
    FaultTable table({{"/d/quotes.csv", {FaultMode::Empty, std::nullopt}}});
    EXPECT_EQ(table.For("/d/quotes.csv").mode, FaultMode::Empty);
    EXPECT_EQ(table.For("/exchanges.html").mode, FaultMode::None);

    table.Set(kEveryPath, {FaultMode::Status, 503});
    EXPECT_EQ(table.For("/d/quotes.csv").mode, FaultMode::Empty);
    EXPECT_EQ(table.For("/exchanges.html").mode, FaultMode::Status);
    EXPECT_EQ(table.For("/exchanges.html").arg, 503u);

    table.Set("/d/quotes.csv", {FaultMode::None, std::nullopt});
    EXPECT_EQ(table.For("/d/quotes.csv").mode, FaultMode::Status);

    table.Clear();
    EXPECT_EQ(table.For("/d/quotes.csv").mode, FaultMode::None);
    EXPECT_EQ(table.For("/exchanges.html").mode, FaultMode::None);
}

TEST(FaultTable, ACountedFaultSpoilsThatManyAnswersThenLeavesWhatIsBelow) {
    FaultTable table;
    table.Set(kEveryPath, {FaultMode::Status, 502});
    table.Set(PathFault{"/d/quotes.csv", {FaultMode::Close, std::nullopt}, "", FaultCount{2}});
    // Looking does not count.
    EXPECT_EQ(table.For("/d/quotes.csv").mode, FaultMode::Close);
    EXPECT_EQ(table.For("/d/quotes.csv").mode, FaultMode::Close);
    EXPECT_EQ(table.Take("/d/quotes.csv").mode, FaultMode::Close);
    EXPECT_EQ(table.Take("/exchanges.html").mode, FaultMode::Status);
    EXPECT_EQ(table.Take("/d/quotes.csv").mode, FaultMode::Close);
    // Used up: the fault for every path shows through, and stays.
    for (int i = 0; i < 3; ++i) EXPECT_EQ(table.Take("/d/quotes.csv").mode, FaultMode::Status);

    table.Set(PathFault{kEveryPath, {FaultMode::Empty, std::nullopt}, "", FaultCount{1}});
    EXPECT_EQ(table.Take("/help.html").mode, FaultMode::Empty);
    EXPECT_EQ(table.Take("/help.html").mode, FaultMode::None);
}

TEST(FaultTable, ASymbolsFaultHitsOnlyRequestsForThatSymbol) {
    FaultTable table;
    table.Set(PathFault{"/d/quotes.csv", {FaultMode::Empty, std::nullopt}});
    table.Set(PathFault{"/d/quotes.csv", {FaultMode::Reset, std::nullopt}, "XYZ"});
    table.Set(PathFault{kEveryPath, {FaultMode::Hang, std::nullopt}, "ABC"});
    table.Set(PathFault{"/uk/quotes.csv", {FaultMode::Cut, std::nullopt}, "ABC", FaultCount{1}});
    const struct {
        const char* path;
        std::vector<std::string> symbols;
        FaultMode mode;
    } cases[] = {
        {"/d/quotes.csv", {"IBM"}, FaultMode::Empty},
        {"/d/quotes.csv", {"XYZ"}, FaultMode::Reset},
        {"/d/quotes.csv", {"IBM", "XYZ"}, FaultMode::Reset},
        {"/d/quotes.csv", {"ABC", "XYZ"}, FaultMode::Hang},  // the first symbol with a fault
        {"/uk/quotes.csv", {"XYZ"}, FaultMode::None},
        {"/uk/quotes.csv", {"ABC"}, FaultMode::Cut},  // the path's own beats every path's
        {"/uk/quotes.csv", {"ABC"}, FaultMode::Hang},  // once, then every path's
        {"/d/quotes.csv", {}, FaultMode::Empty},
    };
    for (const auto& c : cases) EXPECT_EQ(table.Take(c.path, c.symbols).mode, c.mode) << c.path << " " << c.symbols.size();

    table.Set(PathFault{"/d/quotes.csv", {FaultMode::None, std::nullopt}, "XYZ"});
    EXPECT_EQ(table.For("/d/quotes.csv", {"XYZ"}).mode, FaultMode::Empty);
}

TEST(ApplyFault, NoneLeavesTheReplyAlone) {
    const Delivery delivery = ApplyFault({}, CsvReply(kQuoteLine));
    EXPECT_EQ(delivery.reply.body, kQuoteLine);
    EXPECT_EQ(delivery.reply.status, kStatusOk);
    EXPECT_EQ(delivery.delay.count(), 0);
    EXPECT_FALSE(delivery.dropAfter);
    EXPECT_FALSE(delivery.repeatTo);
}

TEST(ApplyFault, StatusAnswersWithAnErrorPage) {
    const Delivery plain = ApplyFault({FaultMode::Status, std::nullopt}, CsvReply(kQuoteLine));
    EXPECT_EQ(plain.reply.status, 500);
    EXPECT_NE(plain.reply.body.find("500 Internal Server Error"), std::string::npos);
    EXPECT_EQ(plain.reply.body.find("IBM"), std::string::npos);

    const Delivery unavailable = ApplyFault({FaultMode::Status, 503}, CsvReply(kQuoteLine));
    EXPECT_EQ(unavailable.reply.status, 503);
    EXPECT_NE(unavailable.reply.body.find("503 Service Unavailable"), std::string::npos);
}

TEST(ApplyFault, EmptyIsAnOkWithoutBody) {
    const Delivery delivery = ApplyFault({FaultMode::Empty, std::nullopt}, {kStatusNotFound, kHtmlType, "gone"});
    EXPECT_EQ(delivery.reply.status, kStatusOk);
    EXPECT_EQ(delivery.reply.body, "");
}

TEST(ApplyFault, TruncateBreaksTheLastLineInTheMiddle) {
    const std::string body = "Symbol,Last\r\n" + kQuoteLine;
    const Delivery delivery = ApplyFault({FaultMode::Truncate, std::nullopt}, CsvReply(body));
    ASSERT_TRUE(delivery.dropAfter);
    EXPECT_EQ(*delivery.dropAfter, MiddleOfLastLine(body));
    EXPECT_GT(*delivery.dropAfter, body.find('\n'));
    EXPECT_LT(*delivery.dropAfter, body.size() - 2);
    EXPECT_EQ(delivery.reply.body, body);

    EXPECT_EQ(*ApplyFault({FaultMode::Truncate, 7}, CsvReply(body)).dropAfter, 7u);
    EXPECT_EQ(*ApplyFault({FaultMode::Truncate, 9999}, CsvReply(body)).dropAfter, body.size());
}

TEST(ApplyFault, SlowOnlyDelays) {
    const Delivery delivery = ApplyFault({FaultMode::Slow, 250}, CsvReply(kQuoteLine));
    EXPECT_EQ(delivery.delay, std::chrono::milliseconds(250));
    EXPECT_EQ(delivery.reply.body, kQuoteLine);
    EXPECT_EQ(ApplyFault({FaultMode::Slow, std::nullopt}, CsvReply("")).delay, std::chrono::milliseconds(2000));
}

TEST(ApplyFault, RewritesLineEnds) {
    EXPECT_EQ(ApplyFault({FaultMode::Lf, std::nullopt}, CsvReply("a\r\nb\nc\r\n")).reply.body, "a\nb\nc\n");
    EXPECT_EQ(ApplyFault({FaultMode::CrLf, std::nullopt}, CsvReply("a\r\nb\nc")).reply.body, "a\r\nb\r\nc");
}

TEST(ApplyFault, ZeroPutsOneZeroByteIn) {
    const Delivery middle = ApplyFault({FaultMode::Zero, std::nullopt}, CsvReply(kQuoteLine));
    ASSERT_EQ(middle.reply.body.size(), kQuoteLine.size() + 1);
    EXPECT_EQ(std::count(middle.reply.body.begin(), middle.reply.body.end(), '\0'), 1);
    EXPECT_EQ(middle.reply.body.find('\0'), MiddleOfLastLine(kQuoteLine));

    const Delivery atThree = ApplyFault({FaultMode::Zero, 3}, CsvReply("abcdef"));
    EXPECT_EQ(atThree.reply.body, std::string("abc\0def", 7));
    EXPECT_EQ(ApplyFault({FaultMode::Zero, 100}, CsvReply("ab")).reply.body, std::string("ab\0", 3));
}

TEST(ApplyFault, OversizedRepeatsTheBody) {
    const Delivery standard = ApplyFault({FaultMode::Oversized, std::nullopt}, CsvReply(kQuoteLine));
    EXPECT_EQ(standard.repeatTo, 10u * 1024 * 1024);
    EXPECT_EQ(standard.reply.body, kQuoteLine);

    const Delivery fromNothing = ApplyFault({FaultMode::Oversized, 500}, CsvReply(""));
    EXPECT_EQ(fromNothing.repeatTo, 500u);
    EXPECT_NE(fromNothing.reply.body.find("\r\n"), std::string::npos);
}

TEST(ApplyFault, ConnectionFaultsSayWhatToDoWithTheWire) {
    constexpr auto kTenMinutes = std::chrono::milliseconds(10 * 60 * 1000);
    const struct {
        Fault fault;
        Wire wire;
        std::chrono::milliseconds hold;
        std::uint64_t bytesPerSecond;
    } cases[] = {
        {{FaultMode::Close, std::nullopt}, Wire::Close, {}, 0},
        {{FaultMode::Reset, std::nullopt}, Wire::Reset, {}, 0},
        {{FaultMode::Hang, std::nullopt}, Wire::Hang, kTenMinutes, 0},
        {{FaultMode::Hang, 250}, Wire::Hang, std::chrono::milliseconds(250), 0},
        {{FaultMode::Stall, std::nullopt}, Wire::Stall, kTenMinutes, 0},
        {{FaultMode::Stall, 40}, Wire::Stall, std::chrono::milliseconds(40), 0},
        {{FaultMode::Trickle, std::nullopt}, Wire::Trickle, {}, 10},
        {{FaultMode::Trickle, 300}, Wire::Trickle, {}, 300},
    };
    for (const auto& c : cases) {
        const Delivery delivery = ApplyFault(c.fault, CsvReply(kQuoteLine));
        EXPECT_EQ(delivery.wire, c.wire) << static_cast<int>(c.fault.mode);
        EXPECT_EQ(delivery.hold, c.hold) << static_cast<int>(c.fault.mode);
        EXPECT_EQ(delivery.bytesPerSecond, c.bytesPerSecond) << static_cast<int>(c.fault.mode);
        // What would have been sent stays, for the stall's headers and the trickle.
        EXPECT_EQ(delivery.reply.body, kQuoteLine);
    }
}

TEST(ApplyFault, CutAndBadChunkBreakInTheMiddleOfTheLastLine) {
    const std::string body = "Symbol,Last\r\n" + kQuoteLine;
    for (const FaultMode mode : {FaultMode::Cut, FaultMode::BadChunk}) {
        const Delivery middle = ApplyFault({mode, std::nullopt}, CsvReply(body));
        EXPECT_EQ(middle.dropAfter, MiddleOfLastLine(body));
        EXPECT_EQ(middle.reply.body, body);
        EXPECT_EQ(ApplyFault({mode, 4}, CsvReply(body)).dropAfter, 4u);
        EXPECT_EQ(ApplyFault({mode, 9999}, CsvReply(body)).dropAfter, body.size());
    }
    EXPECT_EQ(ApplyFault({FaultMode::Cut, std::nullopt}, CsvReply(body)).wire, Wire::Cut);
    EXPECT_EQ(ApplyFault({FaultMode::BadChunk, std::nullopt}, CsvReply(body)).wire, Wire::BadChunk);
}

TEST(ApplyFault, RedirectsPointWhereTheyAreTold) {
    const Redirects redirects{"http://127.0.0.1:80/d/quotes.csv?s=IBM", "https://127.0.0.1:80/d/quotes.csv?s=IBM",
                              "http://127.0.0.1:81/d/quotes.csv?s=IBM"};
    const struct {
        FaultMode mode;
        const std::string& location;
    } cases[] = {{FaultMode::RedirectLoop, redirects.self},
                 {FaultMode::RedirectHttps, redirects.https},
                 {FaultMode::RedirectDead, redirects.dead}};
    for (const auto& c : cases) {
        const Delivery delivery = ApplyFault({c.mode, std::nullopt}, CsvReply(kQuoteLine), redirects);
        EXPECT_EQ(delivery.reply.status, 302);
        ASSERT_EQ(delivery.reply.headers.size(), 1u);
        EXPECT_EQ(delivery.reply.headers[0].name, "Location");
        EXPECT_EQ(delivery.reply.headers[0].value, c.location);
        EXPECT_EQ(delivery.reply.body.find("IBM\","), std::string::npos);
        EXPECT_EQ(delivery.wire, Wire::Normal);
    }
}

TEST(ApplyFault, Html500IsAWholePageNotTheShortErrorPage) {
    const Delivery page = ApplyFault({FaultMode::Html500, std::nullopt}, CsvReply(kQuoteLine));
    EXPECT_EQ(page.reply.status, 500);
    EXPECT_EQ(page.reply.contentType, kHtmlType);
    EXPECT_EQ(page.reply.body.rfind("<!DOCTYPE html>", 0), 0u);
    EXPECT_NE(page.reply.body, ApplyFault({FaultMode::Status, 500}, CsvReply(kQuoteLine)).reply.body);
    EXPECT_GT(std::count(page.reply.body.begin(), page.reply.body.end(), '\n'), 10);
}

TEST(ApplyFault, BigIsOneQuoteLineRepeatedNotABodyInMemory) {
    const Delivery standard = ApplyFault({FaultMode::Big, std::nullopt}, CsvReply(kQuoteLine));
    EXPECT_EQ(standard.repeatTo, 64u * 1024 * 1024);
    EXPECT_EQ(standard.reply.body, FillerQuoteLine());
    EXPECT_EQ(standard.reply.contentType, kCsvType);
    EXPECT_EQ(ApplyFault({FaultMode::Big, 3}, {kStatusNotFound, kHtmlType, "gone"}).repeatTo, 3u * 1024 * 1024);
    EXPECT_EQ(ApplyFault({FaultMode::Big, 3}, {kStatusNotFound, kHtmlType, "gone"}).reply.status, kStatusOk);
}

TEST(MiddleOfLastLine, IgnoresTheFinalLineEnd) {
    const struct {
        const char* body;
        std::size_t middle;
    } cases[] = {{"", 0}, {"abcd", 2}, {"abcd\r\n", 2}, {"ab\r\nwxyz\r\n", 6}, {"ab\nwxyz", 5}, {"\n\n", 0}};
    for (const auto& c : cases) EXPECT_EQ(MiddleOfLastLine(c.body), c.middle) << c.body;
}

}  // namespace
}  // namespace service
