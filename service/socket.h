#pragma once
// A TCP socket descriptor owned by one object, and the ways the service
// sends on it and ends it.
#include <cstddef>
#include <string>

namespace service {

class Socket {
public:
    Socket() = default;
    explicit Socket(int fd) : fd_(fd) {}
    ~Socket() { Close(); }
    Socket(Socket&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
    Socket& operator=(Socket&& other) noexcept;
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;

    int fd() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    void Close();

private:
    int fd_ = -1;
};

// False when the peer has gone, the send timed out, or the connection was
// cut; never raises SIGPIPE.
bool SendAll(int fd, const char* data, std::size_t size);
bool SendAll(int fd, const std::string& text);

enum class Ending {
    Graceful,  // FIN after everything that was sent
    Reset,     // RST, and whatever was still unsent is thrown away
};

// Closes the connection. A graceful close first reads away what the
// client sent and nobody read, since closing over unread input would reset
// the connection instead.
void EndConnection(Socket& socket, Ending ending);

}  // namespace service
