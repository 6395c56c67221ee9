#include "service/command_line.h"

#include <charconv>
#include <optional>

namespace service {

namespace {

constexpr std::uint64_t kHighestPort = 65535;

std::optional<std::uint64_t> ParseNumber(const std::string& text) {
    std::uint64_t value = 0;
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, value);
    if (text.empty() || result.ec != std::errc() || result.ptr != end) return std::nullopt;
    return value;
}

// Applies one option with its value; returns an error text or "".
std::string ApplyOption(ServiceOptions& options, const std::string& name, const std::string& value) {
    if (name == "--port") {
        const auto port = ParseNumber(value);
        if (!port || *port > kHighestPort) return "--port needs a number from 0 to 65535";
        options.port = static_cast<int>(*port);
    } else if (name == "--seed") {
        const auto seed = ParseNumber(value);
        if (!seed) return "--seed needs a whole number";
        options.seed = *seed;
    } else if (name == "--log") {
        if (value.empty()) return "--log needs a file name";
        options.logFile = value;
    } else if (name == "--message") {
        options.message = value;
    } else if (name == "--exchanges") {
        options.exchanges = value;
    } else if (name == "--pin") {
        const auto pin = ParsePinnedLine(value);
        if (!pin) return "--pin needs SYMBOL:LINE, not '" + value + "'";
        options.pins.push_back(*pin);
    } else if (name == "--fault") {
        const auto fault = ParsePathFault(value);
        if (!fault) {
            return "--fault needs PATH[#SYMBOL]=MODE[:ARG][:COUNT] with a known mode, not '" + value + "'";
        }
        options.faults.push_back(*fault);
    } else {
        return "unknown option " + name;
    }
    return "";
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
    CommandLine result;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--help" || argument == "-h") {
            result.helpWanted = true;
            continue;
        }
        std::string name = argument;
        std::string value;
        const std::size_t equals = argument.find('=');
        if (argument.rfind("--", 0) == 0 && equals != std::string::npos) {
            name = argument.substr(0, equals);
            value = argument.substr(equals + 1);
        } else if (i + 1 < arguments.size()) {
            value = arguments[++i];
        } else {
            result.error = argument.rfind("--", 0) == 0 ? argument + " needs a value" : "unknown option " + argument;
            return result;
        }
        result.error = ApplyOption(result.options, name, value);
        if (!result.error.empty()) return result;
    }
    return result;
}

std::string UsageText() {
    return "usage: velmoria-service [--port N] [--seed N] [--log FILE] [--message TEXT]\n"
           "                        [--exchanges TEXT] [--pin SYMBOL:LINE]...\n"
           "                        [--fault PATH=MODE[:ARG][:COUNT]]...\n"
           "Plays the ticker's home site and quote service on 127.0.0.1 (default port 8642;\n"
           "0 picks a free one). In --message and --exchanges, {host} stands for\n"
           "127.0.0.1:PORT and {port} for the port.\n"
           "--pin answers SYMBOL's quote line with LINE as it is (add its CR LF).\n"
           "--fault: PATH * means every path; PATH#SYMBOL only the quote requests for\n"
           "SYMBOL; COUNT is once, Nx or always (the default).\n"
           "Fault modes: status empty truncate slow crlf lf zero oversized close reset hang\n"
           "stall trickle cut badchunk redirect-loop redirect-https redirect-dead html500 big.\n";
}

}  // namespace service
