#pragma once
// The service running in this process on a free port, with its request log
// in a temporary file; stopped and cleaned up when it goes out of scope.
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "service/server/http_service.h"
#include "service/http/request_log.h"
#include "service/service_options.h"

namespace service_test {

class RunningService {
public:
    explicit RunningService(service::ServiceOptions options = {});
    ~RunningService();
    RunningService(const RunningService&) = delete;
    RunningService& operator=(const RunningService&) = delete;

    int port() const { return port_; }
    std::string Url(const std::string& target) const;
    std::vector<std::string> LogLines() const;
    // The log lines once there are at least count of them (or after a
    // generous wait, whatever there is then).
    std::vector<std::string> WaitForLogLines(std::size_t count) const;
    // True once no more than `count` connections are open (false if that
    // does not happen within a generous wait).
    bool WaitForOpenConnectionsAtMost(std::size_t count) const;
    void Stop();

private:
    std::string logPath_;
    std::ofstream logStream_;
    service::RequestLog log_;
    std::unique_ptr<service::HttpService> http_;
    int port_ = 0;
    std::thread runner_;
};

// The ticker's own request: HTTP/1.0 with agent "ORVO". Fails the test if
// the service cannot be reached.
std::string BodyOf(int port, const std::string& target);

}  // namespace service_test
