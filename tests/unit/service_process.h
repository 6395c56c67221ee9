#pragma once
// The stand-in service (velmoria-service) run as a child process on a free
// port of 127.0.0.1, with its request log in a temporary file; stopped and
// its log removed when the object goes.
#include <sys/types.h>

#include <string>
#include <vector>

namespace test_support {

class ServiceProcess {
public:
    // Starts the binary with --port 0 --log FILE and the extra arguments, and
    // waits until it says on which port it listens. Throws when it does not.
    ServiceProcess(const std::string& binary, const std::vector<std::string>& arguments);
    ~ServiceProcess();
    ServiceProcess(const ServiceProcess&) = delete;
    ServiceProcess& operator=(const ServiceProcess&) = delete;

    int port() const { return port_; }
    // "http://127.0.0.1:PORT" followed by the target.
    std::string Url(const std::string& target) const;
    // One line per request received so far: method, target, version and
    // user agent, separated by tabs.
    std::vector<std::string> LogLines() const;

private:
    std::string logPath_;
    pid_t pid_ = -1;
    int port_ = 0;
};

// A port on 127.0.0.1 where nothing listens.
int UnusedPort();

}  // namespace test_support
