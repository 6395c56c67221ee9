// The socket calls on Winsock.
#include <winsock2.h>
#include <ws2tcpip.h>

#include "service/net/socket_address.h"
#include "service/net/socket_calls.h"

namespace service {

namespace {

constexpr WORD kWinsockVersion = MAKEWORD(2, 2);

SOCKET Native(SocketHandle socket) { return static_cast<SOCKET>(socket); }

bool PollReadable(SocketHandle socket) {
    WSAPOLLFD watched{Native(socket), POLLRDNORM, 0};
    return ::WSAPoll(&watched, 1, 0) > 0;
}

// Not inherited by any program the service might start.
void KeepToThisProcess(SOCKET socket) {
    ::SetHandleInformation(reinterpret_cast<HANDLE>(socket), HANDLE_FLAG_INHERIT, 0);
}

}  // namespace

void CloseSocket(SocketHandle socket) {
    if (socket != kNoSocket) ::closesocket(Native(socket));
}

long SendSome(SocketHandle socket, const char* data, std::size_t size) {
    constexpr std::size_t kLargestSend = 1 << 30;
    const int sent = ::send(Native(socket), data, static_cast<int>(size < kLargestSend ? size : kLargestSend), 0);
    return sent <= 0 ? -1 : sent;
}

// Winsock has no per-call MSG_DONTWAIT: a look first says whether a
// blocking recv would return at once.
long ReceiveSome(SocketHandle socket, char* buffer, std::size_t size, Waiting waiting) {
    if (waiting == Waiting::DontWait && !PollReadable(socket)) return kReceiveAgain;
    const int count = ::recv(Native(socket), buffer, static_cast<int>(size), 0);
    if (count == SOCKET_ERROR) return ::WSAGetLastError() == WSAEWOULDBLOCK ? kReceiveAgain : -1;
    return count;
}

void ShutdownSending(SocketHandle socket) { ::shutdown(Native(socket), SD_SEND); }

void ShutdownBoth(SocketHandle socket) { ::shutdown(Native(socket), SD_BOTH); }

void ResetOnClose(SocketHandle socket) {
    const linger abort{1, 0};
    ::setsockopt(Native(socket), SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&abort), sizeof abort);
}

void LimitSendTime(SocketHandle socket, std::chrono::seconds patience) {
    const DWORD milliseconds = static_cast<DWORD>(std::chrono::milliseconds(patience).count());
    ::setsockopt(Native(socket), SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&milliseconds),
                 sizeof milliseconds);
}

SocketHandle AcceptConnection(SocketHandle listener, bool& outOfResources) {
    const SOCKET socket = ::accept(Native(listener), nullptr, nullptr);
    if (socket == INVALID_SOCKET) {
        const int error = ::WSAGetLastError();
        outOfResources = error == WSAEMFILE || error == WSAENOBUFS;
        return kNoSocket;
    }
    outOfResources = false;
    KeepToThisProcess(socket);
    return socket;
}

bool IsIpAddress(const std::string& address) { return ParseSocketAddress(address, 0).has_value(); }

std::optional<BoundStream> BindStream(const std::string& host, int port, PortSharing sharing) {
    auto address = ParseSocketAddress(host, port);
    if (!address) return std::nullopt;
    const SOCKET socket = ::socket(address->storage.ss_family, SOCK_STREAM, IPPROTO_TCP);
    if (socket == INVALID_SOCKET) return std::nullopt;
    KeepToThisProcess(socket);
    // Windows' SO_REUSEADDR would let another program take a port in use;
    // both kinds hold theirs exclusively (a port in TIME_WAIT can be bound
    // again there anyway).
    (void)sharing;
    const BOOL yes = TRUE;
    ::setsockopt(socket, SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&yes), sizeof yes);
    if (::bind(socket, reinterpret_cast<const sockaddr*>(&address->storage), address->length) != 0) {
        ::closesocket(socket);
        return std::nullopt;
    }
    int length = sizeof address->storage;
    if (::getsockname(socket, reinterpret_cast<sockaddr*>(&address->storage), &length) != 0) {
        ::closesocket(socket);
        return std::nullopt;
    }
    return BoundStream{socket, address->Port()};
}

bool StartListening(SocketHandle socket, int backlog) { return ::listen(Native(socket), backlog) == 0; }

// Winsock waits on sockets only, so the flag is a UDP socket on 127.0.0.1
// that sends itself one datagram: nothing ever reads it, so it stays
// readable for good.
std::optional<WakeFlag> MakeWakeFlag() {
    const SOCKET socket = ::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    if (socket == INVALID_SOCKET) return std::nullopt;
    KeepToThisProcess(socket);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::bind(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        ::connect(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        ::closesocket(socket);
        return std::nullopt;
    }
    int length = sizeof address;
    if (::getsockname(socket, reinterpret_cast<sockaddr*>(&address), &length) != 0 ||
        ::connect(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        ::closesocket(socket);
        return std::nullopt;
    }
    return WakeFlag{socket, socket};
}

void RaiseWakeFlag(const WakeFlag& flag) {
    const char byte = 1;
    ::send(Native(flag.raiser), &byte, 1, 0);
}

void CloseWakeFlag(const WakeFlag& flag) { ::closesocket(Native(flag.watched)); }

Woke WaitForFlagOrSocket(const WakeFlag& flag, SocketHandle socket, Watch watch, int timeoutMs) {
    // Readable covers the peer's end and its hang-up alike on Winsock.
    (void)watch;
    WSAPOLLFD watched[2] = {{Native(flag.watched), POLLRDNORM, 0}, {Native(socket), POLLRDNORM, 0}};
    const ULONG count = socket == kNoSocket ? 1 : 2;
    const int ready = ::WSAPoll(watched, count, timeoutMs);
    if (ready == SOCKET_ERROR) return Woke::Failed;
    if (watched[0].revents != 0) return Woke::Flag;
    if (ready > 0 && count == 2 && watched[1].revents != 0) return Woke::Socket;
    return Woke::TimedOut;
}

SocketLibrary::SocketLibrary() {
    WSADATA data;
    ::WSAStartup(kWinsockVersion, &data);
}

SocketLibrary::~SocketLibrary() { ::WSACleanup(); }

}  // namespace service
