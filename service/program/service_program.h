#pragma once
// What velmoria-service does once it has its arguments, the same on Linux
// and on Windows: read the settings file and the command line, then check
// the sources or serve. Each system's main supplies how the service is
// told to stop, and what must hold before it serves.
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "service/program/command_line.h"
#include "service/server/http_service.h"

namespace service {

constexpr int kExitUsage = 2;
constexpr int kExitCannotStart = 1;
constexpr int kExitNoSourceAnswered = 1;
// A second start beside a running service.
constexpr int kExitAlreadyRunning = 3;

// Keeps the service's stop arranged while it lives; made once the service
// listens, ended once it has stopped.
class StopArrangement {
public:
    virtual ~StopArrangement() = default;
};

struct ProgramHooks {
    // The settings file read when the command line names none; a missing
    // one is no error. Empty: none.
    std::string defaultConfigPath;
    // Looks up an environment variable; nullptr when it is not set.
    std::function<const char*(const char*)> environment;
    // Before the log is opened and the port bound: an exit code when the
    // service must not start (having said why), else nullopt.
    std::function<std::optional<int>(const ServiceOptions&)> beforeServing;
    std::function<std::unique_ptr<StopArrangement>(HttpService&)> arrangeStop;
    // Once the port is bound and the stop arranged, before the first
    // connection is taken (those that come queue); given the port. May be empty.
    std::function<void(int port)> listening;
};

// The settings file (the one --config names, else `defaultConfigPath`)
// and then the command line, so that the command line wins. Problems go
// to `err`; a bad line of the file is left out. The error is set when
// --config names no file or one that cannot be read.
CommandLine ReadSettings(const std::vector<std::string>& arguments, const std::string& defaultConfigPath,
                         std::ostream& err);

int RunServiceProgram(const std::vector<std::string>& arguments, const ProgramHooks& hooks, std::ostream& out,
                      std::ostream& err);

}  // namespace service
