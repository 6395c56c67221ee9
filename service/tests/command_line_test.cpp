#include "service/command_line.h"

#include <gtest/gtest.h>

namespace service {
namespace {

TEST(CommandLine, DefaultsToPort8642AndTheMarketNews) {
    const CommandLine line = ParseCommandLine({});
    EXPECT_TRUE(line.error.empty());
    EXPECT_FALSE(line.helpWanted);
    EXPECT_EQ(line.options.port, 8642);
    EXPECT_EQ(line.options.seed, kDefaultSeed);
    EXPECT_FALSE(line.options.logFile);
    EXPECT_FALSE(line.options.message);
    EXPECT_TRUE(line.options.faults.empty());
}

TEST(CommandLine, TakesEveryOptionInBothSpellings) {
    const CommandLine line = ParseCommandLine({"--port", "0", "--seed=42", "--log", "/tmp/x.log", "--message=A<b>, C",
                                               "--fault", "/d/quotes.csv=truncate", "--fault=*=slow:300"});
    ASSERT_EQ(line.error, "");
    EXPECT_EQ(line.options.port, 0);
    EXPECT_EQ(line.options.seed, 42u);
    EXPECT_EQ(line.options.logFile, "/tmp/x.log");
    EXPECT_EQ(line.options.message, "A<b>, C");
    ASSERT_EQ(line.options.faults.size(), 2u);
    EXPECT_EQ(line.options.faults[0].path, "/d/quotes.csv");
    EXPECT_EQ(line.options.faults[0].fault.mode, FaultMode::Truncate);
    EXPECT_EQ(line.options.faults[1].path, "*");
    EXPECT_EQ(line.options.faults[1].fault.arg, 300u);
}

TEST(CommandLine, TakesTheExchangeListPinsAndCountedFaults) {
    const CommandLine line =
        ParseCommandLine({"--exchanges", " L , http://{host}/x \r\n", "--pin", "ibm:\"IBM\",0.00\r\n",
                          "--pin=EURUSD=X:x", "--fault", "/d/quotes.csv#xyz=reset:once", "--fault=*=hang:500:3x"});
    ASSERT_EQ(line.error, "");
    EXPECT_EQ(line.options.exchanges, " L , http://{host}/x \r\n");
    ASSERT_EQ(line.options.pins.size(), 2u);
    EXPECT_EQ(line.options.pins[0].symbol, "IBM");
    EXPECT_EQ(line.options.pins[0].line, "\"IBM\",0.00\r\n");
    EXPECT_EQ(line.options.pins[1].symbol, "EURUSD=X");
    ASSERT_EQ(line.options.faults.size(), 2u);
    EXPECT_EQ(line.options.faults[0].symbol, "XYZ");
    EXPECT_EQ(line.options.faults[0].fault.mode, FaultMode::Reset);
    EXPECT_EQ(line.options.faults[0].count.limit, 1u);
    EXPECT_EQ(line.options.faults[1].path, "*");
    EXPECT_EQ(line.options.faults[1].fault.arg, 500u);
    EXPECT_EQ(line.options.faults[1].count.limit, 3u);
}

TEST(CommandLine, AcceptsAnEmptyMessage) {
    const CommandLine line = ParseCommandLine({"--message", ""});
    EXPECT_EQ(line.error, "");
    EXPECT_EQ(line.options.message, "");
}

TEST(CommandLine, RefusesWhatItDoesNotUnderstand) {
    const std::vector<std::vector<std::string>> cases = {
        {"--port", "65536"}, {"--port", "http"}, {"--port", "-1"},
        {"--seed", "-1"},    {"--seed", "1.5"},  {"--fault", "/x=bogus"},
        {"--fault", "nope"}, {"--log", ""},      {"--colour", "red"},
        {"--port"},          {"stray"},          {"--pin", "IBM"},
        {"--pin", ":x"},     {"--fault", "/x=close:0x"}, {"--fault", "#IBM=close"},
        {"--exchanges"},
    };
    for (const auto& arguments : cases) {
        EXPECT_FALSE(ParseCommandLine(arguments).error.empty()) << arguments[0];
    }
}

TEST(CommandLine, AsksForHelp) {
    EXPECT_TRUE(ParseCommandLine({"--help"}).helpWanted);
    EXPECT_NE(UsageText().find("--fault PATH=MODE[:ARG]"), std::string::npos);
}

}  // namespace
}  // namespace service
