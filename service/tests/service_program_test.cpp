// The program around the service: the moment it tells its caller that the
// port listens (the Windows gateway starts the bar then).
#include <gtest/gtest.h>

#include <optional>
#include <sstream>
#include <thread>

#include "raw_http.h"
#include "service/server/http_service.h"
#include "service/program/service_program.h"

namespace {

using service_test::RawGet;
using service_test::RawResponse;

// As the programs' own arrangements do, the thread that stops the service
// has ended before the service goes.
class JoinTheStopper : public service::StopArrangement {
public:
    explicit JoinTheStopper(std::thread& stopper) : stopper_(stopper) {}
    ~JoinTheStopper() override {
        if (stopper_.joinable()) stopper_.join();
    }
    JoinTheStopper(const JoinTheStopper&) = delete;
    JoinTheStopper& operator=(const JoinTheStopper&) = delete;

private:
    std::thread& stopper_;
};

TEST(ServiceProgramTest, TheListeningHookComesOnceThePortIsBoundAndTheStopArrangedAndItsAskersAreAnswered) {
    service::HttpService* arranged = nullptr;
    int calls = 0;
    bool arrangedFirst = false;
    std::optional<RawResponse> answer;
    std::thread asker;

    service::ProgramHooks hooks;
    hooks.environment = [](const char*) -> const char* { return nullptr; };
    hooks.arrangeStop = [&arranged, &asker](service::HttpService& httpService) {
        arranged = &httpService;
        return std::make_unique<JoinTheStopper>(asker);
    };
    hooks.listening = [&](int port) {
        ++calls;
        arrangedFirst = arranged != nullptr;
        // Asked before the service takes its first connection: the request
        // waits in the queue and is answered once it does (by then the
        // stop is arranged whatever the order).
        asker = std::thread([&answer, &arranged, port] {
            answer = RawGet(port, "/d/quotes.csv?f=sl1t1c1ghpv&s=IBM");
            arranged->Stop();
        });
    };
    std::ostringstream out;
    std::ostringstream err;
    const int code = service::RunServiceProgram({"--port", "0"}, hooks, out, err);

    EXPECT_EQ(code, 0) << err.str();
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(arrangedFirst) << "the hook came before the stop was arranged";
    ASSERT_TRUE(answer.has_value());
    EXPECT_EQ(answer->status, 200);
    EXPECT_NE(answer->body.find("\"IBM\""), std::string::npos) << answer->body;
}

TEST(ServiceProgramTest, AStartThatCannotServeNeverSaysItListens) {
    int calls = 0;
    service::ProgramHooks hooks;
    hooks.environment = [](const char*) -> const char* { return nullptr; };
    hooks.beforeServing = [](const service::ServiceOptions&) -> std::optional<int> { return 3; };
    hooks.arrangeStop = [](service::HttpService&) { return std::make_unique<service::StopArrangement>(); };
    hooks.listening = [&calls](int) { ++calls; };
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(service::RunServiceProgram({"--port", "0"}, hooks, out, err), 3);
    EXPECT_EQ(calls, 0);
}

}  // namespace
