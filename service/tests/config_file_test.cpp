#include "service/program/config_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "service/program/service_program.h"

namespace service {
namespace {

const char* const kSecret = "S3CR3T-KEY";

// What the installer writes: CR LF, a kept administrator's line, keys.
TEST(ConfigFile, ReadsTheInstallersLinesAsLongOptions) {
    const ConfigArguments config = ReadConfigText(
        "\xEF\xBB\xBF# set by the administrator\r\ncache-seconds=120\r\n\r\n; keys\r\nkey=finnhub=K1=x\r\n"
        "  source = chart,finnhub  \r\nlimit=chart=10/100\r\ndetail-url=https://broker.example/q/{symbol}");
    EXPECT_TRUE(config.problems.empty()) << config.problems.front();
    EXPECT_EQ(config.arguments, (std::vector<std::string>{"--cache-seconds=120", "--key=finnhub=K1=x",
                                                          "--source=chart,finnhub", "--limit=chart=10/100",
                                                          "--detail-url=https://broker.example/q/{symbol}"}));
}

TEST(ConfigFile, ReportsEachBadLineByNumberLeavesItOutAndKeepsTheRest) {
    struct Case {
        const char* line;
        const char* problem;
    };
    const Case cases[] = {
        {"S3CR3T-KEY", "line 2: not a setting (name=value)"},
        {"=S3CR3T-KEY", "line 2: not a setting (name=value)"},
        {"finnhub=S3CR3T-KEY", "line 2: unknown option --finnhub"},
        {"key=nobody=S3CR3T-KEY", "line 2: --key: no source named 'nobody' takes a key"},
        {"cache-seconds=5", "line 2: --cache-seconds needs a number from 15 to 86400"},
        {"source=chart,simulated", "line 2: --source: simulated quotes cannot be mixed with real ones"},
        {"check=IBM", "line 2: --check is for the command line only"},
        {"detail-url=https://x/S3CR3T-KEY", "line 2: --detail-url needs an http:// or https:// address holding {symbol}"},
        {"config=other.conf", "line 2: --config is for the command line only"},
    };
    for (const Case& c : cases) {
        const ConfigArguments config = ReadConfigText(std::string("port=9000\r\n") + c.line + "\r\nseed=7\r\n");
        ASSERT_EQ(config.problems.size(), 1u) << c.line;
        EXPECT_EQ(config.problems[0], c.problem) << c.line;
        EXPECT_EQ(config.problems[0].find(kSecret), std::string::npos) << c.line;
        EXPECT_EQ(config.arguments, (std::vector<std::string>{"--port=9000", "--seed=7"})) << c.line;
    }
}

TEST(ConfigFile, TakesTheConfigOptionOutOfTheCommandLine) {
    struct Case {
        std::vector<std::string> arguments;
        std::vector<std::string> others;
        std::string path;
        bool error;
    };
    const Case cases[] = {
        {{"--port", "1", "--config", "a.conf"}, {"--port", "1"}, "a.conf", false},
        {{"--config=b.conf", "--seed=2"}, {"--seed=2"}, "b.conf", false},
        {{"--seed=2"}, {"--seed=2"}, "", false},
        {{"--config"}, {}, "", true},
        {{"--config="}, {}, "", true},
    };
    for (const Case& c : cases) {
        const ConfigChoice choice = TakeConfigOption(c.arguments);
        EXPECT_EQ(choice.otherArguments, c.others) << c.path;
        EXPECT_EQ(choice.path, c.path);
        EXPECT_EQ(!choice.error.empty(), c.error) << c.path;
    }
}

// A settings file on disk for the length of a test.
class SettingsFile {
public:
    explicit SettingsFile(const std::string& text) {
        char name[] = "/tmp/velmoria-settings-XXXXXX";
        const int fd = ::mkstemp(name);
        ::close(fd);
        path_ = name;
        std::ofstream(path_, std::ios::binary) << text;
    }
    ~SettingsFile() { std::remove(path_.c_str()); }
    SettingsFile(const SettingsFile&) = delete;
    SettingsFile& operator=(const SettingsFile&) = delete;
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

TEST(Settings, TheCommandLineWinsOverTheFile) {
    const SettingsFile file("source=chart\r\ncache-seconds=120\r\nkey=finnhub=FILEKEY\r\nport=9001\r\n");
    std::ostringstream err;
    const CommandLine line =
        ReadSettings({"--cache-seconds", "30", "--key=finnhub=LINEKEY"}, file.path(), err);
    ASSERT_EQ(line.error, "");
    EXPECT_EQ(line.options.cacheSeconds, 30);
    EXPECT_EQ(line.options.keys.at("finnhub"), "LINEKEY");
    EXPECT_EQ(line.options.sources, std::vector<std::string>{"chart"});
    EXPECT_EQ(line.options.port, 9001);
    EXPECT_EQ(err.str(), "");
}

TEST(Settings, ConfigNamesTheFileInPlaceOfTheDefault) {
    const SettingsFile standard("cache-seconds=120\r\n");
    const SettingsFile named("cache-seconds=45\r\nbogus\r\n");
    std::ostringstream err;
    const CommandLine line = ReadSettings({"--config", named.path()}, standard.path(), err);
    ASSERT_EQ(line.error, "");
    EXPECT_EQ(line.options.cacheSeconds, 45);
    EXPECT_NE(err.str().find(named.path() + ": line 2: not a setting"), std::string::npos) << err.str();
}

TEST(Settings, AMissingDefaultFileIsFineAMissingNamedOneIsNot) {
    std::ostringstream err;
    const CommandLine defaults = ReadSettings({}, "/nonexistent/velmoria-service.conf", err);
    EXPECT_EQ(defaults.error, "");
    EXPECT_EQ(defaults.options.sources, std::vector<std::string>{kSimulatedSourceName});
    EXPECT_EQ(defaults.options.port, kDefaultPort);
    EXPECT_NE(ReadSettings({"--config", "/nonexistent/x.conf"}, "", err).error, "");
}

}  // namespace
}  // namespace service
