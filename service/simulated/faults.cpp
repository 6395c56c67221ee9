#include "service/simulated/faults.h"

#include <charconv>
#include <limits>
#include <vector>

#include "service/simulated/quote_model.h"

namespace service {

namespace {

constexpr std::uint64_t kNoLimit = std::numeric_limits<std::uint64_t>::max();
constexpr std::uint64_t kLongestHoldMs = 10 * 60 * 1000;
constexpr std::uint64_t kLargestOversizedBytes = 2ULL * 1024 * 1024 * 1024;
constexpr std::uint64_t kLargestBigMegabytes = 4096;
constexpr std::uint64_t kFastestTrickle = 1024 * 1024 * 1024;

const char* const kOnce = "once";
const char* const kAlways = "always";
constexpr char kTimesSuffix = 'x';
constexpr char kFieldSeparator = ':';
constexpr char kSymbolMark = '#';

// The range an argument must lie in, both ends included.
struct ModeName {
    const char* name;
    FaultMode mode;
    std::uint64_t lowest;
    std::uint64_t highest;
};

const ModeName kModeNames[] = {
    {"none", FaultMode::None, 0, kNoLimit},
    {"status", FaultMode::Status, 400, 599},
    {"empty", FaultMode::Empty, 0, kNoLimit},
    {"truncate", FaultMode::Truncate, 0, kNoLimit},
    {"slow", FaultMode::Slow, 0, kLongestHoldMs},
    {"crlf", FaultMode::CrLf, 0, kNoLimit},
    {"lf", FaultMode::Lf, 0, kNoLimit},
    {"zero", FaultMode::Zero, 0, kNoLimit},
    {"oversized", FaultMode::Oversized, 1, kLargestOversizedBytes},
    {"close", FaultMode::Close, 0, kNoLimit},
    {"reset", FaultMode::Reset, 0, kNoLimit},
    {"hang", FaultMode::Hang, 0, kLongestHoldMs},
    {"stall", FaultMode::Stall, 0, kLongestHoldMs},
    {"trickle", FaultMode::Trickle, 1, kFastestTrickle},
    {"cut", FaultMode::Cut, 0, kNoLimit},
    {"badchunk", FaultMode::BadChunk, 0, kNoLimit},
    {"redirect-loop", FaultMode::RedirectLoop, 0, kNoLimit},
    {"redirect-https", FaultMode::RedirectHttps, 0, kNoLimit},
    {"redirect-dead", FaultMode::RedirectDead, 0, kNoLimit},
    {"html500", FaultMode::Html500, 0, kNoLimit},
    {"big", FaultMode::Big, 1, kLargestBigMegabytes},
};

std::vector<std::string> Fields(const std::string& text) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (std::size_t at = text.find(kFieldSeparator); at != std::string::npos;
         at = text.find(kFieldSeparator, start)) {
        fields.push_back(text.substr(start, at - start));
        start = at + 1;
    }
    fields.push_back(text.substr(start));
    return fields;
}

// On the command line a count must look like one: a bare number there is
// the mode's argument.
bool LooksLikeCount(const std::string& field) {
    return field == kOnce || field == kAlways || (field.size() > 1 && field.back() == kTimesSuffix);
}

}  // namespace

std::optional<std::uint64_t> ParseNumber(const std::string& text) {
    std::uint64_t value = 0;
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, value);
    if (text.empty() || result.ec != std::errc() || result.ptr != end) return std::nullopt;
    return value;
}

std::optional<Fault> ParseFault(const std::string& mode, const std::optional<std::string>& arg) {
    for (const ModeName& name : kModeNames) {
        if (mode != name.name) continue;
        Fault fault{name.mode, std::nullopt};
        if (arg) {
            fault.arg = ParseNumber(*arg);
            if (!fault.arg || *fault.arg < name.lowest || *fault.arg > name.highest) return std::nullopt;
        }
        return fault;
    }
    return std::nullopt;
}

std::optional<FaultCount> ParseFaultCount(const std::string& text) {
    if (text == kAlways) return FaultCount{};
    if (text == kOnce) return FaultCount{1};
    const bool suffixed = !text.empty() && text.back() == kTimesSuffix;
    const auto times = ParseNumber(suffixed ? text.substr(0, text.size() - 1) : text);
    if (!times || *times == 0) return std::nullopt;
    return FaultCount{*times};
}

std::optional<PathFault> ParsePathFault(const std::string& text) {
    const std::size_t equals = text.rfind('=');
    if (equals == std::string::npos || equals == 0) return std::nullopt;
    PathFault result;
    result.path = text.substr(0, equals);
    const std::size_t mark = result.path.find(kSymbolMark);
    if (mark != std::string::npos) {
        result.symbol = UpperCase(result.path.substr(mark + 1));
        result.path.erase(mark);
        if (result.path.empty() || result.symbol.empty()) return std::nullopt;
    }

    std::vector<std::string> fields = Fields(text.substr(equals + 1));
    if (fields.size() > 3) return std::nullopt;
    if (fields.size() > 1 && LooksLikeCount(fields.back())) {
        const auto count = ParseFaultCount(fields.back());
        if (!count) return std::nullopt;
        result.count = *count;
        fields.pop_back();
    }
    if (fields.size() > 2) return std::nullopt;
    const auto fault = ParseFault(fields[0], fields.size() == 2 ? std::optional<std::string>(fields[1]) : std::nullopt);
    if (!fault) return std::nullopt;
    result.fault = *fault;
    return result;
}

}  // namespace service
