// The socket calls on POSIX sockets.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

#include "service/net/socket_address.h"
#include "service/net/socket_calls.h"

namespace service {

void CloseSocket(SocketHandle socket) {
    if (socket != kNoSocket) ::close(socket);
}

long SendSome(SocketHandle socket, const char* data, std::size_t size) {
    for (;;) {
        const ssize_t sent = ::send(socket, data, size, MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR) continue;
        return sent <= 0 ? -1 : static_cast<long>(sent);
    }
}

long ReceiveSome(SocketHandle socket, char* buffer, std::size_t size, Waiting waiting) {
    const ssize_t count = ::recv(socket, buffer, size, waiting == Waiting::DontWait ? MSG_DONTWAIT : 0);
    if (count < 0) return errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK ? kReceiveAgain : -1;
    return static_cast<long>(count);
}

void ShutdownSending(SocketHandle socket) { ::shutdown(socket, SHUT_WR); }

void ShutdownBoth(SocketHandle socket) { ::shutdown(socket, SHUT_RDWR); }

void ResetOnClose(SocketHandle socket) {
    const linger abort{1, 0};
    ::setsockopt(socket, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
}

void LimitSendTime(SocketHandle socket, std::chrono::seconds patience) {
    const timeval limit{static_cast<time_t>(patience.count()), 0};
    ::setsockopt(socket, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
}

SocketHandle AcceptConnection(SocketHandle listener, bool& outOfResources) {
    const int socket = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
    outOfResources = socket < 0 && (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM);
    return socket < 0 ? kNoSocket : socket;
}

bool IsIpAddress(const std::string& address) { return ParseSocketAddress(address, 0).has_value(); }

std::optional<BoundStream> BindStream(const std::string& host, int port, PortSharing sharing) {
    auto address = ParseSocketAddress(host, port);
    if (!address) return std::nullopt;
    const int socket = ::socket(address->storage.ss_family, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (socket < 0) return std::nullopt;
    // SO_REUSEADDR only: SO_REUSEPORT would let a second service share the
    // port with a running one and take some of its requests. Without it no
    // other socket can bind the port while this one holds it.
    if (sharing == PortSharing::Reusable) {
        const int yes = 1;
        ::setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    }
    if (::bind(socket, reinterpret_cast<const sockaddr*>(&address->storage), address->length) != 0) {
        ::close(socket);
        return std::nullopt;
    }
    socklen_t length = sizeof address->storage;
    if (::getsockname(socket, reinterpret_cast<sockaddr*>(&address->storage), &length) != 0) {
        ::close(socket);
        return std::nullopt;
    }
    return BoundStream{socket, address->Port()};
}

bool StartListening(SocketHandle socket, int backlog) { return ::listen(socket, backlog) == 0; }

// A pipe: nothing ever reads it, so one byte keeps it readable for good.
std::optional<WakeFlag> MakeWakeFlag() {
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0) return std::nullopt;
    return WakeFlag{ends[0], ends[1]};
}

void RaiseWakeFlag(const WakeFlag& flag) {
    const char byte = 1;
    while (::write(flag.raiser, &byte, 1) < 0 && errno == EINTR) {
    }
}

void CloseWakeFlag(const WakeFlag& flag) {
    ::close(flag.watched);
    ::close(flag.raiser);
}

Woke WaitForFlagOrSocket(const WakeFlag& flag, SocketHandle socket, Watch watch, int timeoutMs) {
    const short events = watch == Watch::ReadableOrHangUp ? POLLIN | POLLRDHUP : POLLIN;
    pollfd watched[2] = {{flag.watched, POLLIN, 0}, {socket, events, 0}};
    const nfds_t count = socket == kNoSocket ? 1 : 2;
    const int ready = ::poll(watched, count, timeoutMs);
    if (ready < 0) return errno == EINTR ? Woke::TimedOut : Woke::Failed;
    if (watched[0].revents != 0) return Woke::Flag;
    if (ready > 0 && count == 2 && watched[1].revents != 0) return Woke::Socket;
    return Woke::TimedOut;
}

SocketLibrary::SocketLibrary() = default;

SocketLibrary::~SocketLibrary() = default;

}  // namespace service
