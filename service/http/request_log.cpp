#include "service/http/request_log.h"

namespace service {

namespace {

constexpr char kSeparator = '\t';
constexpr unsigned char kDelete = 0x7f;
const char* const kNoUserAgent = "-";

std::string OneLine(const std::string& text) {
    std::string line = text;
    for (char& c : line) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < ' ' || byte == kDelete) c = ' ';
    }
    return line;
}

}  // namespace

std::string FormatRequestLine(const RequestLine& request) {
    return std::to_string(request.elapsedMs) + kSeparator + std::to_string(request.connection) + kSeparator +
           OneLine(request.method) + kSeparator + OneLine(request.target) + kSeparator + OneLine(request.version) +
           kSeparator + (request.userAgent.empty() ? kNoUserAgent : OneLine(request.userAgent));
}

RequestLog::RequestLog(std::ostream& out) : out_(out) {}

void RequestLog::Write(const RequestLine& request) {
    const std::string line = FormatRequestLine(request);
    std::lock_guard<std::mutex> lock(mutex_);
    out_ << line << '\n' << std::flush;
}

}  // namespace service
