#include "service/faults.h"

#include <charconv>

namespace service {

namespace {

constexpr std::uint64_t kDefaultErrorStatus = 500;
constexpr std::uint64_t kLowestErrorStatus = 400;
constexpr std::uint64_t kHighestErrorStatus = 599;
constexpr std::uint64_t kDefaultDelayMs = 2000;
constexpr std::uint64_t kLongestDelayMs = 10 * 60 * 1000;
constexpr std::uint64_t kDefaultOversizedBytes = 10 * 1024 * 1024;
constexpr std::uint64_t kLargestOversizedBytes = 2ULL * 1024 * 1024 * 1024;

const std::string kFiller = "\"VLM\",1.00,\"4:00PM\",0.00,1.00,1.00,1.00,100\r\n";

struct ModeName {
    const char* name;
    FaultMode mode;
};

const ModeName kModeNames[] = {
    {"none", FaultMode::None},
    {"status", FaultMode::Status},
    {"empty", FaultMode::Empty},
    {"truncate", FaultMode::Truncate},
    {"slow", FaultMode::Slow},
    {"crlf", FaultMode::CrLf},
    {"lf", FaultMode::Lf},
    {"zero", FaultMode::Zero},
    {"oversized", FaultMode::Oversized},
};

std::optional<std::uint64_t> ParseNumber(const std::string& text) {
    std::uint64_t value = 0;
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, value);
    if (text.empty() || result.ec != std::errc() || result.ptr != end) return std::nullopt;
    return value;
}

bool ArgumentFits(FaultMode mode, std::uint64_t arg) {
    switch (mode) {
    case FaultMode::Status: return arg >= kLowestErrorStatus && arg <= kHighestErrorStatus;
    case FaultMode::Slow: return arg <= kLongestDelayMs;
    case FaultMode::Oversized: return arg >= 1 && arg <= kLargestOversizedBytes;
    default: return true;
    }
}

const char* ReasonPhrase(int status) {
    switch (status) {
    case 400: return "Bad Request";
    case 403: return "Forbidden";
    case 404: return "Not Found";
    case 500: return "Internal Server Error";
    case 502: return "Bad Gateway";
    case 503: return "Service Unavailable";
    case 504: return "Gateway Timeout";
    default: return "Error";
    }
}

Reply ErrorReply(int status) {
    const std::string title = std::to_string(status) + " " + ReasonPhrase(status);
    return {status, kHtmlType,
            "<html><head><title>" + title + "</title></head>\r\n<body><h1>" + title +
                "</h1><p>The server could not answer this request.</p></body></html>\r\n"};
}

std::size_t OffsetOr(const Fault& fault, std::size_t fallback, std::size_t limit) {
    if (!fault.arg) return fallback;
    return static_cast<std::size_t>(std::min<std::uint64_t>(*fault.arg, limit));
}

}  // namespace

std::optional<Fault> ParseFault(const std::string& mode, const std::optional<std::string>& arg) {
    for (const ModeName& name : kModeNames) {
        if (mode != name.name) continue;
        Fault fault{name.mode, std::nullopt};
        if (arg) {
            fault.arg = ParseNumber(*arg);
            if (!fault.arg || !ArgumentFits(fault.mode, *fault.arg)) return std::nullopt;
        }
        return fault;
    }
    return std::nullopt;
}

std::optional<PathFault> ParsePathFault(const std::string& text) {
    const std::size_t equals = text.find('=');
    if (equals == std::string::npos || equals == 0) return std::nullopt;
    const std::string setting = text.substr(equals + 1);
    const std::size_t colon = setting.find(':');
    const auto fault = colon == std::string::npos ? ParseFault(setting, std::nullopt)
                                                  : ParseFault(setting.substr(0, colon), setting.substr(colon + 1));
    if (!fault) return std::nullopt;
    return PathFault{text.substr(0, equals), *fault};
}

FaultTable::FaultTable(const std::vector<PathFault>& faults) {
    for (const PathFault& fault : faults) Set(fault.path, fault.fault);
}

void FaultTable::Set(const std::string& path, const Fault& fault) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (fault.mode == FaultMode::None) {
        faults_.erase(path);
    } else {
        faults_[path] = fault;
    }
}

void FaultTable::Clear() {
    std::lock_guard<std::mutex> lock(mutex_);
    faults_.clear();
}

Fault FaultTable::For(const std::string& path) const {
    std::lock_guard<std::mutex> lock(mutex_);
    auto found = faults_.find(path);
    if (found == faults_.end()) found = faults_.find(kEveryPath);
    return found == faults_.end() ? Fault{} : found->second;
}

Delivery ApplyFault(const Fault& fault, Reply reply) {
    Delivery delivery;
    switch (fault.mode) {
    case FaultMode::None: break;
    case FaultMode::Status: reply = ErrorReply(static_cast<int>(fault.arg.value_or(kDefaultErrorStatus))); break;
    case FaultMode::Empty:
        reply.status = kStatusOk;
        reply.body.clear();
        break;
    case FaultMode::Truncate:
        delivery.dropAfter = OffsetOr(fault, MiddleOfLastLine(reply.body), reply.body.size());
        break;
    case FaultMode::Slow: delivery.delay = std::chrono::milliseconds(fault.arg.value_or(kDefaultDelayMs)); break;
    case FaultMode::CrLf: reply.body = WithLineEnds(reply.body, "\r\n"); break;
    case FaultMode::Lf: reply.body = WithLineEnds(reply.body, "\n"); break;
    case FaultMode::Zero: {
        const std::size_t at = OffsetOr(fault, MiddleOfLastLine(reply.body), reply.body.size());
        reply.body.insert(at, 1, '\0');
        break;
    }
    case FaultMode::Oversized:
        if (reply.body.empty()) reply.body = kFiller;
        delivery.repeatTo = fault.arg.value_or(kDefaultOversizedBytes);
        break;
    }
    delivery.reply = std::move(reply);
    return delivery;
}

std::size_t MiddleOfLastLine(const std::string& body) {
    std::size_t end = body.size();
    while (end > 0 && (body[end - 1] == '\n' || body[end - 1] == '\r')) --end;
    const std::size_t lineFeed = body.rfind('\n', end == 0 ? 0 : end - 1);
    const std::size_t start = (lineFeed == std::string::npos || end == 0) ? 0 : lineFeed + 1;
    return start + (end - start) / 2;
}

std::string WithLineEnds(const std::string& body, const std::string& lineEnd) {
    std::string result;
    result.reserve(body.size() + body.size() / 16);
    for (std::size_t i = 0; i < body.size(); ++i) {
        if (body[i] == '\r' && i + 1 < body.size() && body[i + 1] == '\n') continue;
        if (body[i] == '\n') {
            result += lineEnd;
        } else {
            result.push_back(body[i]);
        }
    }
    return result;
}

}  // namespace service
