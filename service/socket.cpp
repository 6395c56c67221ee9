#include "service/socket.h"

#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

namespace service {

namespace {

constexpr std::size_t kDrainBytes = 4096;

// Only what has already arrived: a client that keeps sending is not
// waited for.
void DrainArrivedInput(int fd) {
    char scratch[kDrainBytes];
    while (::recv(fd, scratch, sizeof scratch, MSG_DONTWAIT) > 0) {
    }
}

}  // namespace

Socket& Socket::operator=(Socket&& other) noexcept {
    if (this != &other) {
        Close();
        fd_ = other.fd_;
        other.fd_ = -1;
    }
    return *this;
}

void Socket::Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

bool SendAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t sent = ::send(fd, data, size, MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR) continue;
        if (sent <= 0) return false;
        data += sent;
        size -= static_cast<std::size_t>(sent);
    }
    return true;
}

bool SendAll(int fd, const std::string& text) { return SendAll(fd, text.data(), text.size()); }

void EndConnection(Socket& socket, Ending ending) {
    if (!socket.valid()) return;
    if (ending == Ending::Reset) {
        // A zero linger time makes close() send RST instead of FIN.
        const linger abort{1, 0};
        ::setsockopt(socket.fd(), SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
    } else {
        ::shutdown(socket.fd(), SHUT_WR);
        DrainArrivedInput(socket.fd());
    }
    socket.Close();
}

}  // namespace service
