#include "service/faults.h"

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

TEST(MiddleOfLastLine, IgnoresTheFinalLineEnd) {
    const struct {
        const char* body;
        std::size_t middle;
    } cases[] = {{"", 0}, {"abcd", 2}, {"abcd\r\n", 2}, {"ab\r\nwxyz\r\n", 6}, {"ab\nwxyz", 5}, {"\n\n", 0}};
    for (const auto& c : cases) EXPECT_EQ(MiddleOfLastLine(c.body), c.middle) << c.body;
}

}  // namespace
}  // namespace service
