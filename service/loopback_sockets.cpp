#include "service/loopback_sockets.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include "service/service_options.h"

namespace service {

namespace {

constexpr int kListenBacklog = 128;

// Bound to the address at the port; the real port (for port 0) in `port`.
std::optional<BoundSocket> BindAddress(const std::string& host, int port, bool reuseAddress) {
    sockaddr_storage address{};
    socklen_t length = 0;
    auto* v4 = reinterpret_cast<sockaddr_in*>(&address);
    auto* v6 = reinterpret_cast<sockaddr_in6*>(&address);
    if (::inet_pton(AF_INET, host.c_str(), &v4->sin_addr) == 1) {
        v4->sin_family = AF_INET;
        v4->sin_port = htons(static_cast<std::uint16_t>(port));
        length = sizeof *v4;
    } else if (::inet_pton(AF_INET6, host.c_str(), &v6->sin6_addr) == 1) {
        v6->sin6_family = AF_INET6;
        v6->sin6_port = htons(static_cast<std::uint16_t>(port));
        length = sizeof *v6;
    } else {
        return std::nullopt;
    }
    BoundSocket bound{Socket(::socket(address.ss_family, SOCK_STREAM | SOCK_CLOEXEC, 0)), 0};
    if (!bound.socket.valid()) return std::nullopt;
    // SO_REUSEADDR only: SO_REUSEPORT would let a second service share the
    // port with a running one and take some of its requests; a test must
    // see that port as taken instead.
    if (reuseAddress) {
        const int yes = 1;
        ::setsockopt(bound.socket.fd(), SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    }
    if (::bind(bound.socket.fd(), reinterpret_cast<const sockaddr*>(&address), length) != 0) return std::nullopt;
    length = sizeof address;
    if (::getsockname(bound.socket.fd(), reinterpret_cast<sockaddr*>(&address), &length) != 0) return std::nullopt;
    bound.port = ntohs(address.ss_family == AF_INET ? v4->sin_port : v6->sin6_port);
    return bound;
}

}  // namespace

std::optional<BoundSocket> ListenOnLoopback(int port) { return ListenOn(kLoopbackHost, port); }

std::optional<BoundSocket> ListenOn(const std::string& address, int port) {
    auto bound = BindAddress(address, port, true);
    if (!bound || ::listen(bound->socket.fd(), kListenBacklog) != 0) return std::nullopt;
    return bound;
}

// Without SO_REUSEADDR, so that no other socket can bind the port while
// this one holds it, even one that asks for reuse.
std::optional<BoundSocket> ReserveUnusedPort() { return BindAddress(kLoopbackHost, 0, false); }

}  // namespace service
