#include "raw_http.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <stdexcept>

namespace service_test {

RawResponse ParseRawResponse(const std::string& bytes);

namespace {

constexpr int kReceiveTimeoutSeconds = 30;
constexpr std::size_t kReadBytes = 64 * 1024;

class Socket {
public:
    Socket() : fd_(::socket(AF_INET, SOCK_STREAM, 0)) {
        if (fd_ < 0) throw std::runtime_error("socket failed");
    }
    ~Socket() { ::close(fd_); }
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;
    int fd() const { return fd_; }

private:
    int fd_;
};

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

// A whole header block and as many body bytes as Content-Length promised,
// so that a server that keeps the connection open does not hold the test
// up; without Content-Length only the close ends the answer.
bool IsComplete(const std::string& received) {
    const std::size_t headerEnd = received.find("\r\n\r\n");
    if (headerEnd == std::string::npos) return false;
    const RawResponse head = ParseRawResponse(received.substr(0, headerEnd + 4));
    return head.ContentLength() >= 0 &&
           received.size() - headerEnd - 4 >= static_cast<std::size_t>(head.ContentLength());
}

bool Connect(int fd, int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
}

void SendAll(int fd, const std::string& bytes) {
    for (std::size_t sent = 0; sent < bytes.size();) {
        const ssize_t count = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (count <= 0) throw std::runtime_error("send failed");
        sent += static_cast<std::size_t>(count);
    }
}

}  // namespace

std::string RawResponse::Header(const std::string& lowerCaseName) const {
    const auto found = headers.find(lowerCaseName);
    return found == headers.end() ? "" : found->second;
}

long long RawResponse::ContentLength() const {
    const std::string value = Header("content-length");
    return value.empty() ? -1 : std::stoll(value);
}

std::string RawExchange(int port, const std::string& request) {
    Socket socket;
    timeval timeout{kReceiveTimeoutSeconds, 0};
    ::setsockopt(socket.fd(), SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    if (!Connect(socket.fd(), port)) throw std::runtime_error("cannot connect to 127.0.0.1:" + std::to_string(port));
    SendAll(socket.fd(), request);
    std::string received;
    char buffer[kReadBytes];
    for (;;) {
        const ssize_t count = ::recv(socket.fd(), buffer, sizeof buffer, 0);
        if (count < 0) throw std::runtime_error("no answer within the time-out");
        if (count == 0) break;
        received.append(buffer, static_cast<std::size_t>(count));
        if (IsComplete(received)) break;
    }
    return received;
}

RawResponse ParseRawResponse(const std::string& bytes) {
    RawResponse response;
    const std::size_t headerEnd = bytes.find("\r\n\r\n");
    if (headerEnd == std::string::npos) throw std::runtime_error("no complete header block");
    const std::string head = bytes.substr(0, headerEnd);
    response.body = bytes.substr(headerEnd + 4);
    std::size_t lineEnd = head.find("\r\n");
    response.statusLine = head.substr(0, lineEnd);
    response.status = std::stoi(response.statusLine.substr(response.statusLine.find(' ') + 1));
    while (lineEnd != std::string::npos) {
        const std::size_t start = lineEnd + 2;
        lineEnd = head.find("\r\n", start);
        const std::string line = head.substr(start, lineEnd == std::string::npos ? std::string::npos : lineEnd - start);
        const std::size_t colon = line.find(':');
        if (colon == std::string::npos) continue;
        std::string value = line.substr(colon + 1);
        value.erase(0, value.find_first_not_of(' '));
        response.headers[Lower(line.substr(0, colon))] = value;
    }
    return response;
}

std::string GetRequest(const std::string& target, const std::string& userAgent) {
    std::string request = "GET " + target + " HTTP/1.0\r\n";
    if (!userAgent.empty()) request += "User-Agent: " + userAgent + "\r\n";
    return request + "\r\n";
}

RawResponse RawGet(int port, const std::string& target, const std::string& userAgent) {
    return ParseRawResponse(RawExchange(port, GetRequest(target, userAgent)));
}

RawConnection::RawConnection(int port) : fd_(::socket(AF_INET, SOCK_STREAM, 0)) {
    if (fd_ < 0) throw std::runtime_error("socket failed");
    if (!Connect(fd_, port)) {
        ::close(fd_);
        throw std::runtime_error("cannot connect to 127.0.0.1:" + std::to_string(port));
    }
}

RawConnection::~RawConnection() { ::close(fd_); }

void RawConnection::Send(const std::string& bytes) { SendAll(fd_, bytes); }

RawOutcome RawConnection::Receive(std::chrono::milliseconds patience) {
    const auto deadline = std::chrono::steady_clock::now() + patience;
    RawOutcome outcome;
    char buffer[kReadBytes];
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return outcome;  // timed out
        pollfd readable{fd_, POLLIN, 0};
        const int ready = ::poll(&readable, 1, static_cast<int>(left.count()));
        if (ready <= 0) continue;
        const ssize_t count = ::recv(fd_, buffer, sizeof buffer, 0);
        if (count < 0 && errno == EINTR) continue;
        if (count < 0) {
            if (errno != ECONNRESET) throw std::runtime_error("receive failed");
            outcome.end = RawEnd::Reset;
            return outcome;
        }
        if (count == 0) {
            outcome.end = RawEnd::Closed;
            return outcome;
        }
        outcome.bytes.append(buffer, static_cast<std::size_t>(count));
    }
}

RawOutcome RawAttempt(int port, const std::string& request, std::chrono::milliseconds patience) {
    RawConnection connection(port);
    connection.Send(request);
    return connection.Receive(patience);
}

bool ConnectionRefused(int port) {
    Socket socket;
    return !Connect(socket.fd(), port) && errno == ECONNREFUSED;
}

}  // namespace service_test
