#include "service/program/config_file.h"

#include "service/program/command_line.h"

namespace service {

namespace {

const char* const kConfigOption = "--config";
const char* const kByteOrderMark = "\xEF\xBB\xBF";
const char* const kBlanks = " \t\r";

std::string Trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

bool IsSkipped(const std::string& line) { return line.empty() || line[0] == '#' || line[0] == ';'; }

// Options that make no sense as a standing setting.
bool IsCommandOnly(const std::string& name) {
    return name == "check" || name == "help" || name == "config" || name == "stop";
}

// The error of one setting on its own, or "".
std::string SettingError(const std::string& name, const std::string& argument) {
    if (IsCommandOnly(name)) return "--" + name + " is for the command line only";
    return ParseCommandLine({argument}).error;
}

}  // namespace

ConfigArguments ReadConfigText(const std::string& text) {
    ConfigArguments config;
    std::size_t start = text.rfind(kByteOrderMark, 0) == 0 ? std::string(kByteOrderMark).size() : 0;
    for (int number = 1; start <= text.size(); ++number) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        const std::string line = Trimmed(text.substr(start, end - start));
        start = end + 1;
        if (IsSkipped(line)) continue;
        const std::size_t equals = line.find('=');
        const std::string prefix = "line " + std::to_string(number) + ": ";
        if (equals == std::string::npos || equals == 0) {
            config.problems.push_back(prefix + "not a setting (name=value)");
            continue;
        }
        const std::string name = Trimmed(line.substr(0, equals));
        const std::string argument = "--" + name + "=" + Trimmed(line.substr(equals + 1));
        const std::string error = SettingError(name, argument);
        if (!error.empty()) {
            config.problems.push_back(prefix + error);
            continue;
        }
        config.arguments.push_back(argument);
    }
    return config;
}

ConfigChoice TakeConfigOption(const std::vector<std::string>& arguments) {
    ConfigChoice choice;
    const std::string withValue = std::string(kConfigOption) + "=";
    bool given = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == kConfigOption) {
            given = true;
            choice.path = i + 1 < arguments.size() ? arguments[++i] : "";
        } else if (arguments[i].rfind(withValue, 0) == 0) {
            given = true;
            choice.path = arguments[i].substr(withValue.size());
        } else {
            choice.otherArguments.push_back(arguments[i]);
        }
    }
    if (given && choice.path.empty()) choice.error = std::string(kConfigOption) + " needs a file name";
    return choice;
}

}  // namespace service
