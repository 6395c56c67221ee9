#pragma once
// The service's own sockets on 127.0.0.1.
#include <optional>
#include <string>

#include "service/net/socket.h"

namespace service {

struct BoundSocket {
    Socket socket;
    int port = 0;
};

// Listening at the port (0 picks a free one); nullopt when the port cannot
// be had.
std::optional<BoundSocket> ListenOnLoopback(int port);
// The same on another address (IPv4 or IPv6), for --listen.
std::optional<BoundSocket> ListenOn(const std::string& address, int port);

// A free port held bound but never listened on, so that connecting to it is
// refused for as long as the socket lives: no other program can take it.
std::optional<BoundSocket> ReserveUnusedPort();

}  // namespace service
