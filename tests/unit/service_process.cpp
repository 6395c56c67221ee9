#include "service_process.h"

#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <stdexcept>

namespace test_support {

namespace {

constexpr auto kStartPatience = std::chrono::seconds(10);
constexpr char kReadyPrefix[] = "listening on 127.0.0.1:";
constexpr int kExecFailed = 127;

std::string TemporaryPath() {
    std::string path = "/tmp/velmoria-http-log-XXXXXX";
    const int fd = ::mkstemp(path.data());
    if (fd < 0) throw std::runtime_error("mkstemp failed");
    ::close(fd);
    return path;
}

// The first line the child writes, or "" when it writes none in time.
std::string FirstLine(int fd) {
    std::string line;
    const auto deadline = std::chrono::steady_clock::now() + kStartPatience;
    while (std::chrono::steady_clock::now() < deadline) {
        pollfd ready{fd, POLLIN, 0};
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (::poll(&ready, 1, static_cast<int>(left.count())) <= 0) break;
        char c = 0;
        if (::read(fd, &c, 1) != 1) break;
        if (c == '\n') return line;
        line.push_back(c);
    }
    return "";
}

}  // namespace

ServiceProcess::ServiceProcess(const std::string& binary, const std::vector<std::string>& arguments)
    : logPath_(TemporaryPath()) {
    std::vector<std::string> words = {binary, "--port", "0", "--log", logPath_};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);

    int output[2];
    if (::pipe(output) != 0) throw std::runtime_error("pipe failed");
    pid_ = ::fork();
    if (pid_ < 0) throw std::runtime_error("fork failed");
    if (pid_ == 0) {
        ::dup2(output[1], STDOUT_FILENO);
        ::close(output[0]);
        ::close(output[1]);
        ::execv(argv[0], argv.data());
        ::_exit(kExecFailed);
    }
    ::close(output[1]);
    const std::string ready = FirstLine(output[0]);
    ::close(output[0]);
    if (ready.rfind(kReadyPrefix, 0) != 0) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
        ::unlink(logPath_.c_str());
        throw std::runtime_error("velmoria-service did not start: " + binary);
    }
    port_ = std::stoi(ready.substr(sizeof kReadyPrefix - 1));
}

ServiceProcess::~ServiceProcess() {
    ::kill(pid_, SIGTERM);
    ::waitpid(pid_, nullptr, 0);
    ::unlink(logPath_.c_str());
}

std::string ServiceProcess::Url(const std::string& target) const {
    return "http://127.0.0.1:" + std::to_string(port_) + target;
}

std::vector<std::string> ServiceProcess::LogLines() const {
    std::ifstream in(logPath_);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

int UnusedPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) throw std::runtime_error("socket failed");
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t length = sizeof address;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        ::close(fd);
        throw std::runtime_error("cannot find an unused port");
    }
    ::close(fd);  // bound but never listening: connections are refused
    return ntohs(address.sin_port);
}

}  // namespace test_support
