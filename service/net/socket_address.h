#pragma once
// An IPv4 or IPv6 address and port as the socket calls take it. Included
// by each system's socket calls after its own socket headers.
#include <cstdint>
#include <optional>
#include <string>

namespace service {

struct SocketAddress {
    sockaddr_storage storage{};
    int length = 0;

    int Port() const {
        const auto* v4 = reinterpret_cast<const sockaddr_in*>(&storage);
        const auto* v6 = reinterpret_cast<const sockaddr_in6*>(&storage);
        return ntohs(storage.ss_family == AF_INET ? v4->sin_port : v6->sin6_port);
    }
};

// nullopt when the text is neither kind of address.
inline std::optional<SocketAddress> ParseSocketAddress(const std::string& host, int port) {
    SocketAddress address;
    auto* v4 = reinterpret_cast<sockaddr_in*>(&address.storage);
    auto* v6 = reinterpret_cast<sockaddr_in6*>(&address.storage);
    if (::inet_pton(AF_INET, host.c_str(), &v4->sin_addr) == 1) {
        v4->sin_family = AF_INET;
        v4->sin_port = htons(static_cast<std::uint16_t>(port));
        address.length = sizeof *v4;
    } else if (::inet_pton(AF_INET6, host.c_str(), &v6->sin6_addr) == 1) {
        v6->sin6_family = AF_INET6;
        v6->sin6_port = htons(static_cast<std::uint16_t>(port));
        address.length = sizeof *v6;
    } else {
        return std::nullopt;
    }
    return address;
}

}  // namespace service
