#pragma once
// How an answer goes on the wire once its fault has been applied: the reply
// itself, and what to do to the connection while (or instead of) sending it.
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

#include "service/simulated/faults.h"
#include "service/http/reply.h"

namespace service {

enum class Wire {
    Normal,    // status line, headers with Content-Length, body
    Close,     // nothing at all; the connection is closed
    Reset,     // nothing at all; the connection is reset
    Hang,      // nothing, until the client leaves or `hold` is over
    Stall,     // status line and headers, then nothing, as for Hang
    Trickle,   // as Normal, at `bytesPerSecond`
    Cut,       // an HTTP/1.0 answer without Content-Length; the body ends with the connection
    BadChunk,  // chunked; one good chunk, then a size that is not hexadecimal
};

struct Delivery {
    Reply reply;
    Wire wire = Wire::Normal;
    // Before anything is sent.
    std::chrono::milliseconds delay{0};
    // Hang and Stall: the longest the connection is held.
    std::chrono::milliseconds hold{0};
    // Normal and Cut: send only this many body bytes, then drop the
    // connection; Content-Length still claims the whole body, and at least
    // one byte more than is sent. BadChunk: the size of the good chunk.
    std::optional<std::size_t> dropAfter;
    // Send this many bytes: the body repeated as often as it takes.
    std::optional<std::uint64_t> repeatTo;
    std::uint64_t bytesPerSecond = 0;
};

// Where the redirect faults send a client: the request's own address, the
// same over https, and the same at a port on which nobody listens.
struct Redirects {
    std::string self;
    std::string https;
    std::string dead;
};

Delivery ApplyFault(const Fault& fault, Reply reply, const Redirects& redirects = {});

// Where a break hurts most: the middle of the body's last line.
std::size_t MiddleOfLastLine(const std::string& body);

// Every line end (CR LF or LF) rewritten as the given one.
std::string WithLineEnds(const std::string& body, const std::string& lineEnd);

// A line of quotes that fills bodies made bigger than the answer.
const std::string& FillerQuoteLine();

}  // namespace service
