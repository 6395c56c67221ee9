#pragma once
// A client that talks to the service the way the ticker does: one HTTP/1.0
// request per connection, then everything the server sends until it closes.
// Unlike a full client it keeps a body that stops short of its
// Content-Length, which is what the truncation fault is about.
#include <map>
#include <string>

namespace service_test {

struct RawResponse {
    int status = 0;
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

}  // namespace service_test
