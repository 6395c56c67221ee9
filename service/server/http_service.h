#pragma once
// The service on the wire: 127.0.0.1, a thread for every connection, one
// request per connection (HTTP/1.0 and 1.1, always Connection: close),
// every request logged before it is answered, and faults carried out down
// to the socket.
//
// It speaks HTTP on sockets of its own rather than through an HTTP server
// library: the faults must be able to answer with no status line at all,
// reset the connection, stop after the headers, leave out Content-Length or
// break the chunked coding, none of which a library's response path
// allows, and a library's fixed pool of worker threads would let hanging
// requests lock the control paths out.
#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>

#include "service/http/connection_set.h"
#include "service/http/delivery.h"
#include "service/http/request_log.h"
#include "service/server/service_core.h"
#include "service/service_options.h"
#include "service/net/socket.h"
#include "service/net/stop_signal.h"

namespace service {

// Connections beyond the limit that are still served, but only for the
// control paths, so a test can always reach them.
constexpr std::size_t kControlReserve = 8;

class HttpService {
public:
    HttpService(ServiceOptions options, RequestLog& log);
    ~HttpService();
    HttpService(const HttpService&) = delete;
    HttpService& operator=(const HttpService&) = delete;

    // Binds the listen address (127.0.0.1 unless told otherwise) at the port (0 picks a free one). Returns the bound
    // port, or nullopt when the port cannot be had. Connections wait in the
    // queue from here on, so the service counts as ready.
    std::optional<int> Bind(int port);
    // Serves until Stop; returns at once if Stop came first. Before it
    // returns, every connection has been ended and its thread joined.
    void Run();
    // From any thread; also cuts short every answer that is being delayed
    // and every connection that is held open.
    void Stop();
    bool IsRunning() const;
    // Connections being served now.
    std::size_t OpenConnections() const;

private:
    Ending Serve(SocketHandle fd, std::uint64_t connection, bool beyondLimit);
    void Accept();
    std::uint64_t ElapsedMs() const;

    const ServiceOptions options_;
    RequestLog& log_;
    const std::chrono::steady_clock::time_point started_;
    StopSignal stop_;
    Socket listener_;
    Socket unusedPort_;  // held for the redirect-dead fault
    std::unique_ptr<ServiceCore> core_;  // made by Bind, once the port is known
    ConnectionSet connections_;
    std::atomic<bool> running_{false};
    std::uint64_t lastConnection_ = 0;  // only the accepting thread counts
};

}  // namespace service
