#pragma once
// velmoria-service [--port N] [--seed N] [--log FILE] [--message TEXT]
//                  [--exchanges TEXT] [--pin SYMBOL:LINE]...
//                  [--fault PATH[#SYMBOL]=MODE[:ARG][:COUNT]]...
//                  [--source LIST] [--key NAME=KEY]... [--provider-url NAME=URL]...
//                  [--limit NAME=PER_MINUTE[/PER_DAY]]... [--cache-seconds N]
//                  [--listen ADDRESS] [--check SYMBOL...]
#include <functional>
#include <string>
#include <vector>

#include "service/service_options.h"

namespace service {

struct CommandLine {
    ServiceOptions options;
    bool helpWanted = false;
    std::string error;  // empty when the arguments were understood
};

// The arguments after the program name. Both "--port 80" and "--port=80".
CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

std::string UsageText();

// Keys from the environment (VELMORIA_FINNHUB_KEY, ...) for the sources that
// have none from the command line. `lookUp` returns nullptr for a variable
// that is not set.
void TakeKeysFromEnvironment(ServiceOptions& options, const std::function<const char*(const char*)>& lookUp);

}  // namespace service
