#pragma once
// What the service is started with.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "service/faults.h"

namespace service {

constexpr int kDefaultPort = 8642;
constexpr std::uint64_t kDefaultSeed = 1;
const char* const kLoopbackHost = "127.0.0.1";

struct ServiceOptions {
    int port = kDefaultPort;  // 0 picks a free port
    std::uint64_t seed = kDefaultSeed;
    std::optional<std::string> logFile;  // none: standard output
    std::optional<std::string> message;  // none: the market-news items
    std::vector<PathFault> faults;
};

}  // namespace service
