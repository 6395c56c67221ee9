// velmoria-service: the ticker's two remote services on 127.0.0.1, for
// running and testing the ticker where the real ones cannot be reached.
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <pthread.h>
#include <thread>

#include "service/command_line.h"
#include "service/http_service.h"
#include "service/request_log.h"
#include "service/source_check.h"
#include "service/sources/upstream_client.h"

namespace {

constexpr int kExitUsage = 2;
constexpr int kExitCannotStart = 1;
constexpr int kExitNoSourceAnswered = 1;

sigset_t StopSignals() {
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    return signals;
}

// Turns SIGINT and SIGTERM into an orderly stop. The signals are blocked in
// every thread (the server's threads inherit the mask), and one thread waits
// for them, so nothing runs inside a signal handler.
class StopOnSignal {
public:
    explicit StopOnSignal(service::HttpService& service)
        : waiter_([&service] {
              const sigset_t signals = StopSignals();
              int received = 0;
              sigwait(&signals, &received);
              service.Stop();
          }) {}
    ~StopOnSignal() {
        // Wake the waiter if no signal came; a pending SIGTERM after it has
        // gone is harmless, since every thread blocks it.
        pthread_kill(waiter_.native_handle(), SIGTERM);
        waiter_.join();
    }
    StopOnSignal(const StopOnSignal&) = delete;
    StopOnSignal& operator=(const StopOnSignal&) = delete;

private:
    std::thread waiter_;
};

}  // namespace

int main(int argc, char** argv) {
    service::CommandLine commandLine = service::ParseCommandLine({argv + 1, argv + argc});
    if (commandLine.helpWanted) {
        std::cout << service::UsageText();
        return 0;
    }
    if (!commandLine.error.empty()) {
        std::cerr << "velmoria-service: " << commandLine.error << "\n" << service::UsageText();
        return kExitUsage;
    }
    service::TakeKeysFromEnvironment(commandLine.options, [](const char* name) { return std::getenv(name); });
    const service::ServiceOptions& options = commandLine.options;
    const service::CurlLibrary curl;
    if (options.check) return service::CheckSources(options, std::cout) ? 0 : kExitNoSourceAnswered;

    const sigset_t signals = StopSignals();
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    std::ofstream logFile;
    if (options.logFile) {
        logFile.open(*options.logFile, std::ios::out | std::ios::trunc);
        if (!logFile) {
            std::cerr << "velmoria-service: cannot write the log " << *options.logFile << "\n";
            return kExitCannotStart;
        }
    }
    service::RequestLog log(options.logFile ? static_cast<std::ostream&>(logFile) : std::cout);

    service::HttpService httpService(options, log);
    const auto port = httpService.Bind(options.port);
    if (!port) {
        std::cerr << "velmoria-service: cannot listen on " << options.listenAddress << ":" << options.port << "\n";
        return kExitCannotStart;
    }
    std::cout << "listening on " << options.listenAddress << ":" << *port << std::endl;

    StopOnSignal stopOnSignal(httpService);
    httpService.Run();
    return 0;
}
