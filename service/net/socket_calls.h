#pragma once
// The few socket calls the service makes, the same on POSIX sockets and on
// Winsock: everything above this works on a SocketHandle and never on the
// system's own types, so one source serves both.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace service {

#ifdef _WIN32
using SocketHandle = std::uintptr_t;  // a Winsock SOCKET
constexpr SocketHandle kNoSocket = ~static_cast<SocketHandle>(0);
#else
using SocketHandle = int;  // a descriptor
constexpr SocketHandle kNoSocket = -1;
#endif

// What ReceiveSome returns when nothing could be read for now (an
// interrupted call, or no byte there without waiting); -1 is a failure,
// 0 the peer's end.
constexpr long kReceiveAgain = -2;

enum class Waiting { Block, DontWait };

void CloseSocket(SocketHandle socket);
// Bytes sent, or -1 once the peer has gone or the send timed out; never
// raises SIGPIPE.
long SendSome(SocketHandle socket, const char* data, std::size_t size);
long ReceiveSome(SocketHandle socket, char* buffer, std::size_t size, Waiting waiting);
void ShutdownSending(SocketHandle socket);
// Reads and writes on the socket fail at once, in every thread.
void ShutdownBoth(SocketHandle socket);
// Closing then sends RST instead of FIN.
void ResetOnClose(SocketHandle socket);
// A send that cannot go on for this long fails.
void LimitSendTime(SocketHandle socket, std::chrono::seconds patience);

// A new connection, or kNoSocket; `outOfResources` tells a shortage (of
// descriptors, buffers) that is worth a pause from any other failure.
SocketHandle AcceptConnection(SocketHandle listener, bool& outOfResources);

bool IsIpAddress(const std::string& address);

enum class PortSharing {
    Reusable,   // a port in TIME_WAIT can be bound again at once
    Exclusive,  // nobody else binds the port while this socket holds it
};
struct BoundStream {
    SocketHandle socket = kNoSocket;
    int port = 0;  // the real port, for port 0
};
// A TCP socket bound to the address (IPv4 or IPv6) at the port; nullopt
// when the address is not one or the port cannot be had. The caller owns
// the socket.
std::optional<BoundStream> BindStream(const std::string& address, int port, PortSharing sharing);
bool StartListening(SocketHandle socket, int backlog);

// A flag that waits can watch beside a socket: once raised, it stays raised.
struct WakeFlag {
    SocketHandle watched = kNoSocket;  // becomes readable once raised
    SocketHandle raiser = kNoSocket;
};
std::optional<WakeFlag> MakeWakeFlag();
void RaiseWakeFlag(const WakeFlag& flag);
void CloseWakeFlag(const WakeFlag& flag);

enum class Watch {
    Readable,           // bytes to read, or the peer's end
    ReadableOrHangUp,   // the same, or the peer gone in both directions
};
enum class Woke { Flag, Socket, TimedOut, Failed };
// Until the flag is raised, the socket (kNoSocket: none) is ready as
// watched, or `timeoutMs` pass (-1: never). The flag wins over the socket.
Woke WaitForFlagOrSocket(const WakeFlag& flag, SocketHandle socket, Watch watch, int timeoutMs);

// The socket library's process-wide set-up, for main and for test
// programs: made before any socket, undone at the end.
class SocketLibrary {
public:
    SocketLibrary();
    ~SocketLibrary();
    SocketLibrary(const SocketLibrary&) = delete;
    SocketLibrary& operator=(const SocketLibrary&) = delete;
};

}  // namespace service
