// velmoria-service --check against local fakes of the sources: what each
// answered, why not, the exit status, and no key in the output.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <sstream>

#include "fake_source.h"
#include "service/program/source_check.h"

namespace service_test {
namespace {

const char* const kSecret = "SECRET-KEY-99c1";

struct Finished {
    int exitStatus = -1;
    std::string output;
};

// The program with the arguments (each quoted for the shell) and its output.
Finished RunService(const std::string& environment, const std::vector<std::string>& arguments) {
    std::string command = environment + " " VELMORIA_SERVICE_BINARY;
    for (const std::string& argument : arguments) command += " '" + argument + "'";
    command += " 2>&1";
    Finished run;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) return run;
    char buffer[4096];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) run.output.append(buffer, got);
    const int status = ::pclose(pipe);
    run.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

TEST(CheckCommand, SaysWhatEachSourceAnswered) {
    FakeSource chart([](const FakeRequest& request) {
        if (request.path.find("IBM") != std::string::npos) return FakeAnswer{200, ChartBody("IBM", 182.63, 180.78)};
        return FakeAnswer{200, HtmlWallPage(), "text/html"};
    });
    FakeSource finnhub;
    finnhub.AnswerAlways({429, "{}", "application/json", {{"Retry-After", "60"}}});
    const Finished run = RunService("env VELMORIA_FINNHUB_KEY=" + std::string(kSecret),
                               {"--source", "chart,finnhub,twelvedata", "--provider-url", "chart=" + chart.Base(),
                                "--provider-url", "finnhub=" + finnhub.Base(), "--check", "IBM", "^DJI"});
    EXPECT_EQ(run.exitStatus, 0) << run.output;
    const std::string expected =
        "chart IBM: quote \"IBM\",182.63,\"4:00PM\",+1.85,179.78,183.63,180.78,4321000,181.03 USD\n"
        "finnhub IBM: limit: 429 Too Many Requests\n"
        "twelvedata IBM: error: needs a key (--key twelvedata=KEY or VELMORIA_TWELVEDATA_KEY)\n"
        "chart ^DJI: not the format: not a chart answer\n"
        "finnhub ^DJI: error: has no form for the symbol\n"
        "twelvedata ^DJI: error: needs a key (--key twelvedata=KEY or VELMORIA_TWELVEDATA_KEY)\n";
    EXPECT_EQ(run.output, expected);
    EXPECT_EQ(run.output.find(kSecret), std::string::npos);
    ASSERT_EQ(finnhub.RequestCount(), 1u) << "asked once, whatever its limit";
    EXPECT_EQ(finnhub.Requests()[0].headers.at("X-Finnhub-Token"), kSecret) << "the key from the environment";
}

TEST(CheckCommand, FailsWhenNoSourceAnswered) {
    FakeSource chart;
    chart.AnswerAlways({404, ChartNotFoundBody()});
    const Finished run = RunService("env -u VELMORIA_FINNHUB_KEY",
                               {"--source", "chart", "--provider-url", "chart=" + chart.Base(), "--check", "BOGUS"});
    EXPECT_NE(run.exitStatus, 0);
    EXPECT_EQ(run.output, "chart BOGUS: unknown symbol: Not Found\n");
    const Finished simulated = RunService("env", {"--check", "IBM"});
    EXPECT_NE(simulated.exitStatus, 0);
    EXPECT_NE(simulated.output.find("no live source configured"), std::string::npos);
}

TEST(CheckCommand, ARefusedKeyIsSaidButNeverPrinted) {
    FakeSource twelve;
    twelve.AnswerAlways({200, R"({"code":401,"message":"**apikey** parameter is incorrect","status":"error"})"});
    service::ServiceOptions options;
    options.sources = {"twelvedata"};
    options.providerUrls["twelvedata"] = twelve.Base();
    options.keys["twelvedata"] = kSecret;
    options.checkSymbols = {"ibm"};
    std::ostringstream out;
    EXPECT_FALSE(service::CheckSources(options, out));
    EXPECT_EQ(out.str(), "twelvedata IBM: refused: key refused\n");
    EXPECT_EQ(twelve.Requests().at(0).headers.at("Authorization"), std::string("apikey ") + kSecret);
}

}  // namespace
}  // namespace service_test
