#pragma once
// One line per request, written and flushed at once, so a test can read what
// the ticker sent while the service still runs.
#include <cstdint>
#include <mutex>
#include <ostream>
#include <string>

namespace service {

struct RequestLine {
    std::uint64_t elapsedMs = 0;   // since the service started
    std::uint64_t connection = 0;  // counts accepted connections from 1
    std::string method;
    std::string target;  // path and query as sent
    std::string version;
    std::string userAgent;
};

// elapsed ms TAB connection TAB method TAB target TAB version TAB user agent
// ("-" when none was sent). Control characters become spaces, so one
// request stays one line and its fields split at tabs.
std::string FormatRequestLine(const RequestLine& request);

class RequestLog {
public:
    explicit RequestLog(std::ostream& out);
    void Write(const RequestLine& request);

private:
    std::mutex mutex_;
    std::ostream& out_;
};

}  // namespace service
