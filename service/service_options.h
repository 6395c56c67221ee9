#pragma once
// What the service is started with.
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "service/simulated/faults.h"
#include "service/simulated/quote_pins.h"

namespace service {

constexpr int kDefaultPort = 8642;
constexpr std::uint64_t kDefaultSeed = 1;
const char* const kLoopbackHost = "127.0.0.1";
const char* const kSimulatedSourceName = "simulated";
// Connections served at once; far more than any test holds open, few
// enough that a client gone wild cannot exhaust threads or descriptors.
constexpr std::size_t kDefaultConnectionLimit = 512;
// How long a live quote is served before the source is asked again.
constexpr int kDefaultCacheSeconds = 60;
constexpr int kMinCacheSeconds = 15;

// A source's own request limits, for a plan above the free one; 0: none.
struct SourceLimits {
    int perMinute = 0;
    int perDay = 0;
};

struct ServiceOptions {
    int port = kDefaultPort;  // 0 picks a free port
    std::uint64_t seed = kDefaultSeed;
    std::optional<std::string> logFile;    // none: standard output
    std::optional<std::string> message;    // none: the market-news items
    std::optional<std::string> exchanges;  // none: the default and London sources
    std::vector<PinnedLine> pins;
    std::vector<PathFault> faults;
    std::size_t connectionLimit = kDefaultConnectionLimit;
    std::string listenAddress = kLoopbackHost;
    // Where quotes come from, in order: "simulated" (the random walk) or
    // the names of live sources, which are asked in turn.
    std::vector<std::string> sources = {kSimulatedSourceName};
    std::map<std::string, std::string> keys;          // by source; never shown anywhere
    std::map<std::string, std::string> providerUrls;  // by source: a base address in place of its own
    std::map<std::string, SourceLimits> limits;       // by source: in place of its published ones
    int cacheSeconds = kDefaultCacheSeconds;
    // The address a click on a quoted item opens in place of our detail
    // page; "{symbol}" stands for the symbol in the source's own form.
    std::optional<std::string> detailUrl;
    // --check: ask each source once for these symbols and report, instead of serving.
    bool check = false;
    std::vector<std::string> checkSymbols;
};

// True when any live source is configured: the random walk is then never used.
bool IsLiveMode(const ServiceOptions& options);

}  // namespace service
