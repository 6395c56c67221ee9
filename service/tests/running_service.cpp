#include "running_service.h"

#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <stdexcept>

#include "raw_http.h"

namespace service_test {

namespace {

constexpr auto kStartPatience = std::chrono::seconds(10);
constexpr auto kPoll = std::chrono::milliseconds(2);

std::string TemporaryLogPath() {
    std::string path = "/tmp/velmoria-service-log-XXXXXX";
    const int fd = ::mkstemp(path.data());
    if (fd < 0) throw std::runtime_error("mkstemp failed");
    ::close(fd);
    return path;
}

}  // namespace

RunningService::RunningService(service::ServiceOptions options)
    : logPath_(TemporaryLogPath()), logStream_(logPath_), log_(logStream_) {
    options.port = 0;
    http_ = std::make_unique<service::HttpService>(options, log_);
    const auto port = http_->Bind(0);
    if (!port) throw std::runtime_error("cannot bind a free port on 127.0.0.1");
    port_ = *port;
    runner_ = std::thread([this] { http_->Run(); });
    // Stop before the server has started listening would be missed.
    const auto deadline = std::chrono::steady_clock::now() + kStartPatience;
    while (!http_->IsRunning() && std::chrono::steady_clock::now() < deadline) std::this_thread::sleep_for(kPoll);
}

RunningService::~RunningService() {
    Stop();
    ::unlink(logPath_.c_str());
}

void RunningService::Stop() {
    if (!runner_.joinable()) return;
    http_->Stop();
    runner_.join();
}

std::string RunningService::Url(const std::string& target) const {
    return "http://127.0.0.1:" + std::to_string(port_) + target;
}

std::vector<std::string> RunningService::LogLines() const {
    std::ifstream in(logPath_);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

std::vector<std::string> RunningService::WaitForLogLines(std::size_t count) const {
    const auto deadline = std::chrono::steady_clock::now() + kStartPatience;
    std::vector<std::string> lines = LogLines();
    while (lines.size() < count && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(kPoll);
        lines = LogLines();
    }
    return lines;
}

bool RunningService::WaitForOpenConnectionsAtMost(std::size_t count) const {
    const auto deadline = std::chrono::steady_clock::now() + kStartPatience;
    while (http_->OpenConnections() > count) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(kPoll);
    }
    return true;
}

std::string BodyOf(int port, const std::string& target) { return RawGet(port, target).body; }

}  // namespace service_test
