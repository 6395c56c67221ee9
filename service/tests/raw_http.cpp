#include "raw_http.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
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

// A whole header block and as many body bytes as Content-Length promised.
// Needed because the library keeps a connection open after a request it
// refused, even for HTTP/1.0; every other answer ends with the connection.
bool IsComplete(const std::string& received) {
    const std::size_t headerEnd = received.find("\r\n\r\n");
    if (headerEnd == std::string::npos) return false;
    const RawResponse response = ParseRawResponse(received);
    return response.ContentLength() >= 0 && response.body.size() >= static_cast<std::size_t>(response.ContentLength());
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
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(socket.fd(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        throw std::runtime_error("cannot connect to 127.0.0.1:" + std::to_string(port));
    }
    for (std::size_t sent = 0; sent < request.size();) {
        const ssize_t count = ::send(socket.fd(), request.data() + sent, request.size() - sent, MSG_NOSIGNAL);
        if (count <= 0) throw std::runtime_error("send failed");
        sent += static_cast<std::size_t>(count);
    }
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
    const std::string statusLine = head.substr(0, lineEnd);
    response.status = std::stoi(statusLine.substr(statusLine.find(' ') + 1));
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

RawResponse RawGet(int port, const std::string& target, const std::string& userAgent) {
    std::string request = "GET " + target + " HTTP/1.0\r\n";
    if (!userAgent.empty()) request += "User-Agent: " + userAgent + "\r\n";
    request += "\r\n";
    return ParseRawResponse(RawExchange(port, request));
}

}  // namespace service_test
