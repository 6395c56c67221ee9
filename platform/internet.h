#pragma once
// HTTP as the logic sees it: one virtual per WinINet call of a download.
// Handles are opaque; a null handle means the call failed.
#include <cstdint>
#include <string>

namespace platform {

struct InternetTag;
using InternetHandle = InternetTag*;

// The pieces of a cracked address.
struct UrlParts {
    std::string scheme;  // "http", "https", ... as written
    std::string host;
    std::uint16_t port = 0;  // the written port, or the scheme's default
    std::string object;      // path with its query string
};

class Internet {
public:
    virtual ~Internet() = default;

    // InternetOpenA: agent, access type, flags; context value 1.
    virtual InternetHandle Open(const char* agent, std::uint32_t accessType, std::uint32_t flags) = 0;
    // InternetCanonicalizeUrlA.
    virtual bool CanonicalizeUrl(const std::string& url, std::string& canonical, std::uint32_t flags) = 0;
    // InternetCrackUrlA.
    virtual bool CrackUrl(const std::string& url, UrlParts& parts) = 0;
    // InternetConnectA with no user name and no password.
    virtual InternetHandle Connect(InternetHandle session, const std::string& host, std::uint16_t port,
                                   std::uint32_t service, std::uint32_t flags) = 0;
    // HttpOpenRequestA with no referrer and no accepted types.
    virtual InternetHandle OpenRequest(InternetHandle connection, const char* verb, const std::string& object,
                                       const char* version, std::uint32_t flags) = 0;
    // HttpSendRequestA with no headers and no body.
    virtual bool SendRequest(InternetHandle request) = 0;
    // InternetReadFile: true with read = 0 at the end of the body.
    virtual bool ReadFile(InternetHandle request, void* buffer, std::uint32_t toRead, std::uint32_t& read) = 0;
    virtual bool CloseHandle(InternetHandle handle) = 0;
};

}  // namespace platform
