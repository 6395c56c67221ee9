#include "service/net/socket.h"

namespace service {

namespace {

constexpr std::size_t kDrainBytes = 4096;

// Only what has already arrived: a client that keeps sending is not
// waited for.
void DrainArrivedInput(SocketHandle fd) {
    char scratch[kDrainBytes];
    while (ReceiveSome(fd, scratch, sizeof scratch, Waiting::DontWait) > 0) {
    }
}

}  // namespace

Socket& Socket::operator=(Socket&& other) noexcept {
    if (this != &other) {
        Close();
        fd_ = other.fd_;
        other.fd_ = kNoSocket;
    }
    return *this;
}

void Socket::Close() {
    CloseSocket(fd_);
    fd_ = kNoSocket;
}

bool SendAll(SocketHandle fd, const char* data, std::size_t size) {
    while (size > 0) {
        const long sent = SendSome(fd, data, size);
        if (sent <= 0) return false;
        data += sent;
        size -= static_cast<std::size_t>(sent);
    }
    return true;
}

bool SendAll(SocketHandle fd, const std::string& text) { return SendAll(fd, text.data(), text.size()); }

void EndConnection(Socket& socket, Ending ending) {
    if (!socket.valid()) return;
    if (ending == Ending::Reset) {
        ResetOnClose(socket.fd());
    } else {
        ShutdownSending(socket.fd());
        DrainArrivedInput(socket.fd());
    }
    socket.Close();
}

}  // namespace service
