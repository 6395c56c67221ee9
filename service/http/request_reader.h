#pragma once
// Reading a request off the wire: everything up to the blank line after the
// headers, and the few parts of it the service uses. A GET has no body, so
// nothing after the blank line is read.
#include <chrono>
#include <cstddef>
#include <string>

#include "service/net/stop_signal.h"

namespace service {

// A request head bigger than this is refused; real ones are well under 1 KB.
constexpr std::size_t kLargestRequestHead = 64 * 1024;
// How long a client may take to send its request.
constexpr std::chrono::seconds kRequestPatience{30};

enum class HeadArrival {
    Complete,  // up to and including the blank line
    TooLarge,  // kLargestRequestHead bytes without a blank line
    Missing,   // closed, cut, timed out or stopped before the blank line
};

struct ReceivedHead {
    HeadArrival arrival = HeadArrival::Missing;
    std::string text;
};

ReceivedHead ReceiveRequestHead(SocketHandle fd, const StopSignal& stop,
                                std::chrono::milliseconds patience = kRequestPatience,
                                std::size_t largest = kLargestRequestHead);

struct RequestHead {
    std::string method;
    std::string target;   // as sent
    std::string version;  // "HTTP/1.0"; empty when the request line had none
    std::string userAgent;
};

// Lines may end with CR LF or LF alone; header names in any case.
RequestHead ParseRequestHead(const std::string& text);

// 0 when the service answers the request; otherwise the status it is
// refused with: 400 without a target or version, 505 for a version other
// than HTTP/1.x, 405 for any method but GET.
int RefusalStatus(const RequestHead& head);

}  // namespace service
