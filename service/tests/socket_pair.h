#pragma once
// Two connected stream sockets in this process: the service's side and the
// client's, for testing what is read from and written to a connection
// without a network.
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>
#include <string>

namespace service_test {

class SocketPair {
public:
    SocketPair() {
        if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends_) != 0) throw std::runtime_error("socketpair");
    }
    ~SocketPair() {
        CloseClient();
        if (ends_[0] >= 0) ::close(ends_[0]);
    }
    SocketPair(const SocketPair&) = delete;
    SocketPair& operator=(const SocketPair&) = delete;

    int service() const { return ends_[0]; }
    int client() const { return ends_[1]; }

    void ClientSends(const std::string& bytes) const {
        if (::send(ends_[1], bytes.data(), bytes.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(bytes.size()))
            throw std::runtime_error("send");
    }
    void CloseClient() {
        if (ends_[1] >= 0) ::close(ends_[1]);
        ends_[1] = -1;
    }
    // Everything the service side wrote, once it has shut down its writing.
    std::string ClientReceivesAll() const {
        std::string received;
        char buffer[4096];
        for (ssize_t count; (count = ::recv(ends_[1], buffer, sizeof buffer, 0)) > 0;)
            received.append(buffer, static_cast<std::size_t>(count));
        return received;
    }

private:
    int ends_[2] = {-1, -1};
};

}  // namespace service_test
