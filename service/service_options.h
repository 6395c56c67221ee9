#pragma once
// What the service is started with.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "service/faults.h"
#include "service/quote_pins.h"

namespace service {

constexpr int kDefaultPort = 8642;
constexpr std::uint64_t kDefaultSeed = 1;
const char* const kLoopbackHost = "127.0.0.1";
// Connections served at once; far more than any test holds open, few
// enough that a client gone wild cannot exhaust threads or descriptors.
constexpr std::size_t kDefaultConnectionLimit = 512;

struct ServiceOptions {
    int port = kDefaultPort;  // 0 picks a free port
    std::uint64_t seed = kDefaultSeed;
    std::optional<std::string> logFile;    // none: standard output
    std::optional<std::string> message;    // none: the market-news items
    std::optional<std::string> exchanges;  // none: the default and London sources
    std::vector<PinnedLine> pins;
    std::vector<PathFault> faults;
    std::size_t connectionLimit = kDefaultConnectionLimit;
};

}  // namespace service
