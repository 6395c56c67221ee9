#pragma once
// A thread for every open connection, so that a client the service keeps
// waiting (a slow answer, a hang, a stall) never holds up another one, the
// control paths above all. The number open at once is bounded, every
// thread is joined, and stopping cuts them all short.
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

#include "service/net/socket.h"

namespace service {

class ConnectionSet {
public:
    // Serves a connection, given its descriptor; says how it is to end.
    using Serve = std::function<Ending(SocketHandle fd)>;

    explicit ConnectionSet(std::size_t limit);
    ~ConnectionSet();
    ConnectionSet(const ConnectionSet&) = delete;
    ConnectionSet& operator=(const ConnectionSet&) = delete;

    // Takes the socket and serves it on a thread of its own, then ends it.
    // False, leaving the socket to the caller, when `limit` are open.
    bool Start(Socket& socket, Serve serve);
    std::size_t OpenCount() const;
    // Joins the threads of connections that have ended.
    void Reap();
    // Cuts every open connection (their reads and writes fail at once) and
    // waits for all threads. Whoever raised the stop has woken their waits.
    void EndAll();

private:
    struct Open {
        std::thread thread;
        SocketHandle fd = kNoSocket;
    };
    // Called by a connection's own thread once it is done with the socket
    // but before closing it, so that EndAll never touches a descriptor
    // number that may already have been reused.
    void Finished(std::uint64_t id);

    const std::size_t limit_;
    mutable std::mutex mutex_;
    std::condition_variable ended_;
    std::uint64_t lastId_ = 0;
    std::map<std::uint64_t, Open> open_;
    std::vector<std::thread> finished_;
};

}  // namespace service
