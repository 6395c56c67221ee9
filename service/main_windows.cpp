// velmoria-service.exe: the quote gateway on Windows, a program without a
// console window that runs in the background. One runs on the machine; it
// stops on WM_CLOSE to its hidden window (`--stop` sends it), at the end of
// the session, or on Ctrl+C in a console it was started from.
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <memory>

#include "service/net/socket_calls.h"
#include "service/program/service_program.h"
#include "service/windows/running_instance.h"
#include "service/windows/single_instance.h"
#include "service/windows/start_bar.h"
#include "service/windows/stop_window.h"
#include "service/windows/system_places.h"

namespace {

const char* const kStopOption = "--stop";
// As long as the installer waits before ending a gateway by force.
constexpr std::chrono::seconds kStopPatience{15};
constexpr int kExitStillRunning = 1;
const char* const kAlreadyRunning = "velmoria-service: already running on this computer; this start ends\n";

int StopRunningGateway() {
    switch (service::StopRunningInstance(kStopPatience)) {
    case service::StopOutcome::Stopped: std::cout << "velmoria-service: stopped" << std::endl; return 0;
    case service::StopOutcome::NoneRunning: std::cout << "velmoria-service: not running" << std::endl; return 0;
    case service::StopOutcome::StillRunning: break;
    }
    std::cerr << "velmoria-service: still running after " << kStopPatience.count() << " s" << std::endl;
    return kExitStillRunning;
}

// Said where whoever started it can see it: the console, and the log the
// running gateway writes (appended to, never emptied).
void SayAlreadyRunning(const service::ServiceOptions& options) {
    std::cerr << kAlreadyRunning << std::flush;
    if (options.logFile) std::ofstream(*options.logFile, std::ios::app) << kAlreadyRunning;
}

// Takes the option out of `arguments`; whether it was there.
bool TakeOption(std::vector<std::string>& arguments, const char* option) {
    const auto found = std::remove(arguments.begin(), arguments.end(), option);
    const bool taken = found != arguments.end();
    arguments.erase(found, arguments.end());
    return taken;
}

}  // namespace

int main(int argc, char** argv) {
    service::UseParentConsole();
    std::vector<std::string> arguments(argv + 1, argv + argc);
    if (arguments.size() == 1 && arguments[0] == kStopOption) return StopRunningGateway();
    const bool barWanted = TakeOption(arguments, service::kStartBarOption);
    bool barStarted = false;
    const auto startBar = [&barStarted] {
        barStarted = true;
        if (!service::StartBarBesideThisProgram()) std::cerr << "velmoria-service: cannot start the bar" << std::endl;
    };

    const service::SocketLibrary sockets;
    std::unique_ptr<service::SingleInstance> instance;
    service::ProgramHooks hooks;
    hooks.defaultConfigPath = service::DefaultConfigPath();
    hooks.environment = [](const char* name) { return std::getenv(name); };
    hooks.beforeServing = [&instance](const service::ServiceOptions& options) -> std::optional<int> {
        instance = std::make_unique<service::SingleInstance>();
        if (instance->IsFirst()) return std::nullopt;
        SayAlreadyRunning(options);
        return service::kExitAlreadyRunning;
    };
    hooks.arrangeStop = [](service::HttpService& httpService) -> std::unique_ptr<service::StopArrangement> {
        return std::make_unique<service::StopWindow>(httpService);
    };
    if (barWanted) hooks.listening = [&startBar](int) { startBar(); };
    const int code = service::RunServiceProgram(arguments, hooks, std::cout, std::cerr);
    // This start did not serve (another gateway runs, the port is taken, a
    // bad setting): the bar still comes, as the user asked for it.
    if (barWanted && !barStarted) startBar();
    return code;
}
