#pragma once
// A misbehaving HTTP server on 127.0.0.1 for the download tests, built for
// both sides (POSIX sockets natively, Winsock in the Windows tests). Every
// connection it accepts gets its request read and is then handed to the
// test's answer, which may send anything, stall, trickle, reset or close.
// When the server goes, every answer still waiting is cut short.
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace hostile {

#ifdef _WIN32
using SocketHandle = std::uintptr_t;
#else
using SocketHandle = int;
#endif

// One accepted connection, as an answer sees it.
class Peer {
public:
    Peer(SocketHandle socket, const std::atomic<bool>& stopping, int serverPort, std::string request);
    // False once the client is gone.
    bool Send(std::string_view bytes);
    // The bytes one at a time, a pause after each; false when cut short.
    bool Trickle(std::string_view bytes, int pauseMs);
    // Waits, or less when the server stops; false when it stopped.
    bool Pause(int ms);
    // Until the server stops.
    void Hang();
    // Drops the connection with a reset instead of an orderly close.
    void Reset();

    const std::string& request() const { return request_; }
    // The target of the request line ("/path?query"), or "".
    std::string target() const;
    int serverPort() const { return serverPort_; }
    // "http://127.0.0.1:PORT" of this server followed by the target.
    std::string Url(const std::string& target) const;

private:
    SocketHandle socket_;
    const std::atomic<bool>& stopping_;
    int serverPort_;
    std::string request_;
    bool reset_ = false;
    friend class HostileServer;
};

using Answer = std::function<void(Peer&)>;

class HostileServer {
public:
    explicit HostileServer(Answer answer);
    ~HostileServer();
    HostileServer(const HostileServer&) = delete;
    HostileServer& operator=(const HostileServer&) = delete;

    bool listening() const { return port_ != 0; }
    int port() const { return port_; }
    // "http://127.0.0.1:PORT" followed by the target.
    std::string Url(const std::string& target) const;
    // Connections accepted so far.
    int connections() const { return connections_; }

private:
    void AcceptLoop();
    void Serve(SocketHandle socket);

    Answer answer_;
    SocketHandle listener_;
    int port_ = 0;
    std::atomic<bool> stopping_{false};
    std::atomic<int> connections_{0};
    std::mutex mutex_;  // guards workers_
    std::vector<std::thread> workers_;
    std::thread acceptor_;
};

// A port on 127.0.0.1 where nothing listens.
int DeadPort();

}  // namespace hostile
