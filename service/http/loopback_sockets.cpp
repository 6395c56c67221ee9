#include "service/http/loopback_sockets.h"

#include "service/service_options.h"

namespace service {

namespace {

constexpr int kListenBacklog = 128;

std::optional<BoundSocket> Bind(const std::string& address, int port, PortSharing sharing) {
    const auto bound = BindStream(address, port, sharing);
    if (!bound) return std::nullopt;
    return BoundSocket{Socket(bound->socket), bound->port};
}

}  // namespace

std::optional<BoundSocket> ListenOnLoopback(int port) { return ListenOn(kLoopbackHost, port); }

std::optional<BoundSocket> ListenOn(const std::string& address, int port) {
    auto bound = Bind(address, port, PortSharing::Reusable);
    if (!bound || !StartListening(bound->socket.fd(), kListenBacklog)) return std::nullopt;
    return bound;
}

// Exclusive, so that no other socket can bind the port while this one
// holds it, even one that asks for reuse.
std::optional<BoundSocket> ReserveUnusedPort() { return Bind(kLoopbackHost, 0, PortSharing::Exclusive); }

}  // namespace service
