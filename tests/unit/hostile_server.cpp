#include "hostile_server.h"

#include <chrono>

#ifdef _WIN32
#include <winsock2.h>
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/select.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace hostile {

namespace {

#ifdef _WIN32
constexpr SocketHandle kNoSocket = INVALID_SOCKET;
void CloseSocket(SocketHandle socket) { ::closesocket(socket); }
using SocketLength = int;
constexpr int kSendFlags = 0;
#else
constexpr SocketHandle kNoSocket = -1;
void CloseSocket(SocketHandle socket) { ::close(socket); }
using SocketLength = socklen_t;
constexpr int kSendFlags = MSG_NOSIGNAL;
#endif

constexpr int kBacklog = 64;
constexpr int kTickMs = 10;
// How long the request may take to arrive; past it the answer goes ahead
// with what came (a client speaking something else than HTTP gets one too).
constexpr int kRequestWaitMs = 2000;
constexpr char kEndOfHead[] = "\r\n\r\n";
constexpr std::size_t kMostRequestBytes = 64 * 1024;

// Whether the socket has something to read within `ms`.
bool Readable(SocketHandle socket, int ms) {
    fd_set set;
    FD_ZERO(&set);
    FD_SET(socket, &set);
    timeval wait{ms / 1000, (ms % 1000) * 1000};
    return ::select(static_cast<int>(socket) + 1, &set, nullptr, nullptr, &wait) > 0;
}

std::string ReadRequest(SocketHandle socket) {
    std::string request;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kRequestWaitMs);
    char buffer[4096];
    while (request.find(kEndOfHead) == std::string::npos && request.size() < kMostRequestBytes &&
           std::chrono::steady_clock::now() < deadline) {
        if (!Readable(socket, kTickMs)) continue;
        const auto got = ::recv(socket, buffer, sizeof buffer, 0);
        if (got <= 0) break;
        request.append(buffer, static_cast<std::size_t>(got));
    }
    return request;
}

sockaddr_in Loopback(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    return address;
}

// A socket bound to a free port of 127.0.0.1, and that port.
SocketHandle BoundSocket(int& port) {
    port = 0;
    const SocketHandle socket = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (socket == kNoSocket) return kNoSocket;
    sockaddr_in address = Loopback(0);
    SocketLength length = sizeof address;
    if (::bind(socket, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::getsockname(socket, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        CloseSocket(socket);
        return kNoSocket;
    }
    port = ntohs(address.sin_port);
    return socket;
}

// Winsock is started once for the process, before its first socket.
void StartSockets() {
#ifdef _WIN32
    static const bool started = [] {
        WSADATA data{};
        return ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    static_cast<void>(started);
#endif
}

}  // namespace

Peer::Peer(SocketHandle socket, const std::atomic<bool>& stopping, int serverPort, std::string request)
    : socket_(socket), stopping_(stopping), serverPort_(serverPort), request_(std::move(request)) {}

bool Peer::Send(std::string_view bytes) {
    while (!bytes.empty()) {
        const auto sent = ::send(socket_, bytes.data(), static_cast<int>(bytes.size()), kSendFlags);
        if (sent <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(sent));
    }
    return true;
}

bool Peer::Trickle(std::string_view bytes, int pauseMs) {
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (!Send(bytes.substr(i, 1)) || !Pause(pauseMs)) return false;
    }
    return true;
}

bool Peer::Pause(int ms) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end) {
        if (stopping_) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(kTickMs));
    }
    return !stopping_;
}

void Peer::Hang() {
    while (!stopping_) std::this_thread::sleep_for(std::chrono::milliseconds(kTickMs));
}

void Peer::Reset() {
    linger option{};
    option.l_onoff = 1;
    option.l_linger = 0;
    ::setsockopt(socket_, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&option), sizeof option);
    reset_ = true;
}

std::string Peer::target() const {
    const std::size_t start = request_.find(' ');
    if (start == std::string::npos) return "";
    const std::size_t end = request_.find(' ', start + 1);
    if (end == std::string::npos) return "";
    return request_.substr(start + 1, end - start - 1);
}

std::string Peer::Url(const std::string& target) const {
    return "http://127.0.0.1:" + std::to_string(serverPort_) + target;
}

HostileServer::HostileServer(Answer answer) : answer_(std::move(answer)) {
    StartSockets();
    listener_ = BoundSocket(port_);
    if (listener_ == kNoSocket) return;
    if (::listen(listener_, kBacklog) != 0) {
        CloseSocket(listener_);
        listener_ = kNoSocket;
        port_ = 0;
        return;
    }
    acceptor_ = std::thread([this] { AcceptLoop(); });
}

HostileServer::~HostileServer() {
    stopping_ = true;
    if (acceptor_.joinable()) acceptor_.join();
    const std::lock_guard<std::mutex> lock(mutex_);
    for (std::thread& worker : workers_) worker.join();
    if (listener_ != kNoSocket) CloseSocket(listener_);
}

std::string HostileServer::Url(const std::string& target) const {
    return "http://127.0.0.1:" + std::to_string(port_) + target;
}

void HostileServer::AcceptLoop() {
    while (!stopping_) {
        if (!Readable(listener_, kTickMs)) continue;
        const SocketHandle socket = ::accept(listener_, nullptr, nullptr);
        if (socket == kNoSocket) continue;
        ++connections_;
        const std::lock_guard<std::mutex> lock(mutex_);
        workers_.emplace_back([this, socket] { Serve(socket); });
    }
}

void HostileServer::Serve(SocketHandle socket) {
    Peer peer(socket, stopping_, port_, ReadRequest(socket));
    answer_(peer);
    if (!peer.reset_) {
#ifdef _WIN32
        ::shutdown(socket, SD_SEND);
#else
        ::shutdown(socket, SHUT_WR);
#endif
    }
    CloseSocket(socket);
}

int DeadPort() {
    StartSockets();
    int port = 0;
    const SocketHandle socket = BoundSocket(port);
    if (socket != kNoSocket) CloseSocket(socket);
    return port;
}

}  // namespace hostile
