#pragma once
// Putting a delivery on the wire, faults and all: the service writes its
// own status line and headers, so it can also send none, stop after them,
// leave out Content-Length, break the chunked coding or send bytes slowly.
#include <cstdint>
#include <string>

#include "service/http/delivery.h"
#include "service/net/socket.h"
#include "service/net/stop_signal.h"

namespace service {

enum class Framing {
    Length,          // HTTP/1.1 with Content-Length
    CloseDelimited,  // HTTP/1.0 without Content-Length: the body ends with the connection
    Chunked,         // HTTP/1.1 with Transfer-Encoding: chunked
};

// Status line and headers, up to and including the blank line. Every
// answer says Connection: close, and the connection ends after it.
std::string ResponseHead(const Reply& reply, Framing framing, std::uint64_t contentLength = 0);

// The chunk size line that breaks a chunked body: not a hexadecimal number.
const char* const kBadChunkSize = "ZZ";

// Sends the delivery; returns how the connection is to end. Any wait in it
// (a delay, a hang, a stall, the pauses of a trickle) ends with the stop.
Ending Deliver(SocketHandle fd, const Delivery& delivery, const StopSignal& stop);

}  // namespace service
