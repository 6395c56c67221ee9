#pragma once
// One line per request, written and flushed at once, so a test can read what
// the ticker sent while the service still runs.
#include <mutex>
#include <ostream>
#include <string>

namespace service {

struct RequestLine {
    std::string method;
    std::string target;  // path and query as sent
    std::string version;
    std::string userAgent;
};

// method TAB target TAB version TAB user agent ("-" when none was sent).
// Control characters become spaces, so one request stays one line.
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
