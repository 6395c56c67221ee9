#include "service/program/service_program.h"

#include <fstream>
#include <sstream>

#include "service/program/config_file.h"
#include "service/http/request_log.h"
#include "service/program/source_check.h"
#include "service/sources/upstream_client.h"

namespace service {

namespace {

const char* const kProgram = "velmoria-service: ";

// The settings file's arguments, its problems reported; nullopt when a
// file the command line named cannot be read.
std::optional<std::vector<std::string>> ConfigArgumentsFrom(const std::string& path, bool named, std::ostream& err) {
    if (path.empty()) return std::vector<std::string>{};
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        if (!named) return std::vector<std::string>{};
        return std::nullopt;
    }
    std::ostringstream text;
    text << file.rdbuf();
    ConfigArguments config = ReadConfigText(text.str());
    for (const std::string& problem : config.problems) err << kProgram << path << ": " << problem << ", left out\n";
    return config.arguments;
}

int Serve(const ServiceOptions& options, const ProgramHooks& hooks, std::ostream& out, std::ostream& err) {
    if (hooks.beforeServing) {
        if (const auto refused = hooks.beforeServing(options)) return *refused;
    }
    std::ofstream logFile;
    if (options.logFile) {
        logFile.open(*options.logFile, std::ios::out | std::ios::trunc);
        if (!logFile) {
            err << kProgram << "cannot write the log " << *options.logFile << "\n";
            return kExitCannotStart;
        }
    }
    RequestLog log(options.logFile ? static_cast<std::ostream&>(logFile) : out);

    HttpService httpService(options, log);
    const auto port = httpService.Bind(options.port);
    if (!port) {
        err << kProgram << "cannot listen on " << options.listenAddress << ":" << options.port << "\n";
        return kExitCannotStart;
    }
    out << "listening on " << options.listenAddress << ":" << *port << std::endl;

    const auto stop = hooks.arrangeStop(httpService);
    if (hooks.listening) hooks.listening(*port);
    httpService.Run();
    return 0;
}

}  // namespace

CommandLine ReadSettings(const std::vector<std::string>& arguments, const std::string& defaultConfigPath,
                         std::ostream& err) {
    const ConfigChoice choice = TakeConfigOption(arguments);
    CommandLine refused;
    if (!choice.error.empty()) {
        refused.error = choice.error;
        return refused;
    }
    const bool named = !choice.path.empty();
    const auto fileArguments = ConfigArgumentsFrom(named ? choice.path : defaultConfigPath, named, err);
    if (!fileArguments) {
        refused.error = "cannot read the settings " + choice.path;
        return refused;
    }
    // The file first, so that the command line wins over it.
    std::vector<std::string> all = *fileArguments;
    all.insert(all.end(), choice.otherArguments.begin(), choice.otherArguments.end());
    return ParseCommandLine(all);
}

int RunServiceProgram(const std::vector<std::string>& arguments, const ProgramHooks& hooks, std::ostream& out,
                      std::ostream& err) {
    CommandLine commandLine = ReadSettings(arguments, hooks.defaultConfigPath, err);
    if (commandLine.helpWanted) {
        out << UsageText();
        return 0;
    }
    if (!commandLine.error.empty()) {
        err << kProgram << commandLine.error << "\n" << UsageText();
        return kExitUsage;
    }
    TakeKeysFromEnvironment(commandLine.options, hooks.environment);
    const UpstreamClientLibrary upstream;
    if (commandLine.options.check) return CheckSources(commandLine.options, out) ? 0 : kExitNoSourceAnswered;
    return Serve(commandLine.options, hooks, out, err);
}

}  // namespace service
