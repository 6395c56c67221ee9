#include "service/loopback_sockets.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include "service/service_options.h"

namespace service {

namespace {

constexpr int kListenBacklog = 128;

// Bound to 127.0.0.1 at the port; the real port (for port 0) in `port`.
std::optional<BoundSocket> BindLoopback(int port, bool reuseAddress) {
    BoundSocket bound{Socket(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)), 0};
    if (!bound.socket.valid()) return std::nullopt;
    // SO_REUSEADDR only: SO_REUSEPORT would let a second service share the
    // port with a running one and take some of its requests; a test must
    // see that port as taken instead.
    if (reuseAddress) {
        const int yes = 1;
        ::setsockopt(bound.socket.fd(), SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    if (::inet_pton(AF_INET, kLoopbackHost, &address.sin_addr) != 1) return std::nullopt;
    if (::bind(bound.socket.fd(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        return std::nullopt;
    }
    socklen_t length = sizeof address;
    if (::getsockname(bound.socket.fd(), reinterpret_cast<sockaddr*>(&address), &length) != 0) return std::nullopt;
    bound.port = ntohs(address.sin_port);
    return bound;
}

}  // namespace

std::optional<BoundSocket> ListenOnLoopback(int port) {
    auto bound = BindLoopback(port, true);
    if (!bound || ::listen(bound->socket.fd(), kListenBacklog) != 0) return std::nullopt;
    return bound;
}

// Without SO_REUSEADDR, so that no other socket can bind the port while
// this one holds it, even one that asks for reuse.
std::optional<BoundSocket> ReserveUnusedPort() { return BindLoopback(0, false); }

}  // namespace service
