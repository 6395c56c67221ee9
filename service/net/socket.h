#pragma once
// A TCP socket owned by one object, and the ways the service
// sends on it and ends it.
#include <cstddef>
#include <string>

#include "service/net/socket_calls.h"

namespace service {

class Socket {
public:
    Socket() = default;
    explicit Socket(SocketHandle fd) : fd_(fd) {}
    ~Socket() { Close(); }
    Socket(Socket&& other) noexcept : fd_(other.fd_) { other.fd_ = kNoSocket; }
    Socket& operator=(Socket&& other) noexcept;
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;

    SocketHandle fd() const { return fd_; }
    bool valid() const { return fd_ != kNoSocket; }
    void Close();

private:
    SocketHandle fd_ = kNoSocket;
};

// False when the peer has gone, the send timed out, or the connection was
// cut; never raises SIGPIPE.
bool SendAll(SocketHandle fd, const char* data, std::size_t size);
bool SendAll(SocketHandle fd, const std::string& text);

enum class Ending {
    Graceful,  // FIN after everything that was sent
    Reset,     // RST, and whatever was still unsent is thrown away
};

// Closes the connection. A graceful close first reads away what the
// client sent and nobody read, since closing over unread input would reset
// the connection instead.
void EndConnection(Socket& socket, Ending ending);

}  // namespace service
