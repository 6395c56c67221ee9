// velmoria-service on Linux: the ticker's two remote services on 127.0.0.1,
// for running and testing the ticker where the real ones cannot be reached.
// SIGTERM or SIGINT stops it.
#include <csignal>
#include <cstdlib>
#include <iostream>
#include <pthread.h>
#include <thread>

#include "service/program/service_program.h"
#include "service/sources/freed_memory.h"

namespace {

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
class StopOnSignal : public service::StopArrangement {
public:
    explicit StopOnSignal(service::HttpService& service)
        : waiter_([&service] {
              const sigset_t signals = StopSignals();
              int received = 0;
              sigwait(&signals, &received);
              service.Stop();
          }) {}
    ~StopOnSignal() override {
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
    service::KeepLargeBlocksApart();
    service::ProgramHooks hooks;
    hooks.environment = [](const char* name) { return std::getenv(name); };
    hooks.beforeServing = [](const service::ServiceOptions&) -> std::optional<int> {
        const sigset_t signals = StopSignals();
        pthread_sigmask(SIG_BLOCK, &signals, nullptr);
        std::signal(SIGPIPE, SIG_IGN);
        return std::nullopt;
    };
    hooks.arrangeStop = [](service::HttpService& httpService) -> std::unique_ptr<service::StopArrangement> {
        return std::make_unique<StopOnSignal>(httpService);
    };
    return service::RunServiceProgram({argv + 1, argv + argc}, hooks, std::cout, std::cerr);
}
