#pragma once
// velmoria-service [--port N] [--seed N] [--log FILE] [--message TEXT]
//                  [--exchanges TEXT] [--pin SYMBOL:LINE]...
//                  [--fault PATH[#SYMBOL]=MODE[:ARG][:COUNT]]...
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

}  // namespace service
