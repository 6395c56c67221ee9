#pragma once
// A client that talks to the service the way the ticker does: one HTTP/1.0
// request per connection, then everything the server sends until it closes.
// Unlike a full client it keeps a body that stops short of its
// Content-Length, which is what the truncation fault is about, and it can
// tell a close from a reset from silence.
#include <chrono>
#include <map>
#include <string>

namespace service_test {

struct RawResponse {
    int status = 0;
    std::string statusLine;
    std::map<std::string, std::string> headers;  // names in lower case
    std::string body;                            // exactly the bytes after the header block

    std::string Header(const std::string& lowerCaseName) const;
    long long ContentLength() const;  // -1 when there is none
};

// Sends "GET target HTTP/1.0" with the user agent (none when empty).
RawResponse RawGet(int port, const std::string& target, const std::string& userAgent = "ORVO");

// Sends the text as it is and returns all bytes until the server closes.
std::string RawExchange(int port, const std::string& request);

RawResponse ParseRawResponse(const std::string& bytes);

std::string GetRequest(const std::string& target, const std::string& userAgent = "ORVO");

// How a connection ended, as the client saw it.
enum class RawEnd {
    Closed,    // an orderly close (FIN)
    Reset,     // a reset (RST)
    TimedOut,  // still open when the client stopped waiting
};

struct RawOutcome {
    std::string bytes;  // everything that arrived
    RawEnd end = RawEnd::TimedOut;
};

// One connection to the service on 127.0.0.1, held open as long as the
// object lives.
class RawConnection {
public:
    explicit RawConnection(int port);  // throws when nobody listens there
    ~RawConnection();
    RawConnection(const RawConnection&) = delete;
    RawConnection& operator=(const RawConnection&) = delete;

    void Send(const std::string& bytes);
    // Reads until the server closes or resets the connection, or until the
    // patience runs out.
    RawOutcome Receive(std::chrono::milliseconds patience);

private:
    int fd_;
};

// Sends the request on a connection of its own and reads as Receive does.
RawOutcome RawAttempt(int port, const std::string& request, std::chrono::milliseconds patience);

// True when a connection to the port on 127.0.0.1 is refused.
bool ConnectionRefused(int port);

}  // namespace service_test
