#include "service/program/command_line.h"

#include <gtest/gtest.h>

#include <map>

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

TEST(CommandLine, TakesTheUsersDetailPageOnlyAsAnAddressHoldingTheSymbol) {
    EXPECT_FALSE(ParseCommandLine({}).options.detailUrl) << "our own detail page by default";
    EXPECT_EQ(ParseCommandLine({"--detail-url", "https://b.example/{symbol}"}).options.detailUrl,
              "https://b.example/{symbol}");
    for (const char* bad : {"https://b.example/IBM", "file:///{symbol}", "https://b.example/{symbol}\r\nX: y"}) {
        EXPECT_EQ(ParseCommandLine({"--detail-url", bad}).error,
                  "--detail-url needs an http:// or https:// address holding {symbol}")
            << bad;
    }
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

TEST(CommandLine, TakesTheLiveSourcesTheirKeysAndAddresses) {
    const CommandLine line = ParseCommandLine({"--source", "chart,finnhub", "--key", "finnhub=K1", "--key=twelvedata=K2",
                                               "--provider-url", "chart=http://127.0.0.1:9100/", "--cache-seconds",
                                               "15", "--listen", "0.0.0.0", "--limit", "finnhub=300",
                                               "--limit=twelvedata=55/5000"});
    ASSERT_EQ(line.error, "");
    EXPECT_EQ(line.options.sources, (std::vector<std::string>{"chart", "finnhub"}));
    EXPECT_EQ(line.options.keys.at("finnhub"), "K1");
    EXPECT_EQ(line.options.keys.at("twelvedata"), "K2");
    EXPECT_EQ(line.options.providerUrls.at("chart"), "http://127.0.0.1:9100") << "the adapter adds the path";
    EXPECT_EQ(line.options.cacheSeconds, 15);
    EXPECT_EQ(line.options.listenAddress, "0.0.0.0");
    EXPECT_EQ(line.options.limits.at("finnhub").perMinute, 300);
    EXPECT_EQ(line.options.limits.at("finnhub").perDay, 0) << "no daily limit";
    EXPECT_EQ(line.options.limits.at("twelvedata").perMinute, 55);
    EXPECT_EQ(line.options.limits.at("twelvedata").perDay, 5000);
    EXPECT_TRUE(IsLiveMode(line.options));
    EXPECT_FALSE(line.options.check);
}

TEST(CommandLine, DefaultsToSimulatedQuotesOnLoopback) {
    const CommandLine line = ParseCommandLine({});
    EXPECT_EQ(line.options.sources, std::vector<std::string>{"simulated"});
    EXPECT_FALSE(IsLiveMode(line.options));
    EXPECT_EQ(line.options.listenAddress, "127.0.0.1");
    EXPECT_EQ(line.options.cacheSeconds, 60);
}

TEST(CommandLine, TakesTheSymbolsToCheckUpToTheNextOption) {
    const CommandLine line = ParseCommandLine({"--check", "IBM", "VOD.L", "^DJI", "--source", "chart"});
    ASSERT_EQ(line.error, "");
    EXPECT_TRUE(line.options.check);
    EXPECT_EQ(line.options.checkSymbols, (std::vector<std::string>{"IBM", "VOD.L", "^DJI"}));
    EXPECT_EQ(line.options.sources, std::vector<std::string>{"chart"});
}

TEST(CommandLine, TakesKeysFromTheEnvironmentButTheCommandLineWins) {
    const std::map<std::string, std::string> environment = {{"VELMORIA_FINNHUB_KEY", "FROM-ENV"},
                                                            {"VELMORIA_TWELVEDATA_KEY", "TD-ENV"}};
    const auto lookUp = [&](const char* name) -> const char* {
        const auto found = environment.find(name);
        return found == environment.end() ? nullptr : found->second.c_str();
    };
    CommandLine line = ParseCommandLine({"--key", "twelvedata=FROM-LINE"});
    TakeKeysFromEnvironment(line.options, lookUp);
    EXPECT_EQ(line.options.keys.at("finnhub"), "FROM-ENV");
    EXPECT_EQ(line.options.keys.at("twelvedata"), "FROM-LINE");
    EXPECT_EQ(line.options.keys.count("chart"), 0u) << "the chart API takes no key";
}

TEST(CommandLine, RefusesBadLiveOptionsWithoutEchoingAKey) {
    const std::vector<std::vector<std::string>> cases = {
        {"--source", "chart,bogus"}, {"--source", ""},        {"--source", "simulated,chart"},
        {"--key", "chart=K"},        {"--key", "finnhub="},   {"--key", "nokey"},
        {"--key", "=SECRET-1"},      {"--provider-url", "chart=ftp://x"}, {"--provider-url", "nope=http://x"},
        {"--provider-url", "chart=http://"}, {"--cache-seconds", "14"}, {"--cache-seconds", "x"},
        {"--listen", "localhost"},   {"--listen", "1.2.3"},   {"--check"},
        {"--check", "--source", "chart"}, {"--limit", "chart"}, {"--limit", "bogus=5"},
        {"--limit", "chart=x/5"},      {"--limit", "chart=5/"}, {"--limit", "chart=-1"},
    };
    for (const auto& arguments : cases) {
        const CommandLine line = ParseCommandLine(arguments);
        EXPECT_FALSE(line.error.empty()) << arguments[0] << " " << (arguments.size() > 1 ? arguments[1] : "");
        EXPECT_EQ(line.error.find("SECRET"), std::string::npos) << line.error;
    }
    EXPECT_EQ(ParseCommandLine({"--key", "bogus:SECRET-2"}).error.find("SECRET"), std::string::npos);
}

TEST(CommandLine, NamesThePlaceOfAStrayArgumentNotItsText) {
    struct Case {
        std::vector<std::string> arguments;
        const char* error;
    };
    const Case cases[] = {
        {{"--source", "finnhub", "SECRET-STRAY"}, "argument 3 is not an option"},
        {{"--source", "finnhub", "SECRET-STRAY", "--port", "0"}, "argument 3 is not an option"},
        {{"SECRET-STRAY"}, "argument 1 is not an option"},
        {{"-x", "SECRET-STRAY"}, "argument 1 is not an option"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ParseCommandLine(c.arguments).error, c.error) << c.arguments.size();
    }
}

TEST(CommandLine, AsksForHelp) {
    EXPECT_TRUE(ParseCommandLine({"--help"}).helpWanted);
    EXPECT_NE(UsageText().find("--fault PATH=MODE[:ARG]"), std::string::npos);
}

}  // namespace
}  // namespace service
