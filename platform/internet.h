#pragma once
// HTTP as the logic sees it: one virtual per WinINet call of a download,
// taking that call's arguments in neutral types. Handles are opaque; a null
// handle means the call failed.
#include <cstdint>
#include <string>

namespace platform {

struct InternetTag;
using InternetHandle = InternetTag*;

// The WinINet numbers a download speaks in; the Win32 back end checks them
// against <wininet.h>.
inline constexpr std::uint32_t kInternetOpenTypePreconfig = 0;
inline constexpr std::uint32_t kInternetOpenTypeDirect = 1;
inline constexpr std::uint32_t kInternetServiceHttp = 3;
inline constexpr std::uint32_t kInternetFlagReload = 0x80000000;
inline constexpr std::uint32_t kInternetFlagExistingConnect = 0x20000000;
inline constexpr std::uint32_t kInternetFlagDontCache = 0x04000000;
inline constexpr std::uint32_t kInternetFlagNoAutoRedirect = 0x00200000;
inline constexpr std::uint32_t kIcuBrowserMode = 0x02000000;
inline constexpr std::int32_t kInternetSchemeUnknown = -1;
inline constexpr std::int32_t kInternetSchemeFtp = 1;
inline constexpr std::int32_t kInternetSchemeHttp = 3;
inline constexpr std::int32_t kInternetSchemeHttps = 4;
inline constexpr std::uint16_t kInternetDefaultHttpPort = 80;
inline constexpr std::uint16_t kInternetDefaultHttpsPort = 443;
// HttpQueryInfoA's levels, and the modifier that asks for a number.
inline constexpr std::uint32_t kHttpQueryStatusCode = 19;
inline constexpr std::uint32_t kHttpQueryLocation = 33;
inline constexpr std::uint32_t kHttpQueryFlagNumber = 0x20000000;
// InternetSetOption's time-outs, in milliseconds.
inline constexpr std::uint32_t kInternetOptionConnectTimeout = 2;
inline constexpr std::uint32_t kInternetOptionReceiveTimeout = 6;
// The values Windows documents for them when nobody sets them: a minute to
// connect, and 30 seconds in which some data must arrive.
inline constexpr std::uint32_t kWindowsConnectTimeoutMs = 60000;
inline constexpr std::uint32_t kWindowsReceiveTimeoutMs = 30000;

// What QueryDataAvailable answers for a client that never makes a read wait.
inline constexpr std::uint32_t kAnyAmount = UINT32_MAX;

// What InternetCrackUrlA finds in an address (URL_COMPONENTSA), each piece
// as written there.
struct UrlParts {
    std::string scheme;
    std::int32_t schemeNumber = kInternetSchemeUnknown;  // INTERNET_SCHEME
    std::string host;
    std::uint16_t port = 0;  // the written port, or the scheme's default
    std::string userName;
    std::string password;
    std::string urlPath;
    std::string extraInfo;  // "?query" and "#fragment"
};

class Internet {
public:
    virtual ~Internet() = default;

    // InternetOpenA.
    virtual InternetHandle Open(const char* agent, std::uint32_t accessType, const char* proxy,
                                const char* proxyBypass, std::uint32_t flags) = 0;
    // InternetCanonicalizeUrlA: length is the buffer's size in, the text's
    // length (or, when the buffer is too small, the size needed) out.
    virtual bool CanonicalizeUrl(const char* url, char* buffer, std::uint32_t& length, std::uint32_t flags) = 0;
    // InternetCrackUrlA over the whole zero-terminated address.
    virtual bool CrackUrl(const char* url, std::uint32_t flags, UrlParts& parts) = 0;
    // InternetConnectA.
    virtual InternetHandle Connect(InternetHandle session, const char* server, std::uint16_t port,
                                   const char* userName, const char* password, std::uint32_t service,
                                   std::uint32_t flags, std::uintptr_t context) = 0;
    // HttpOpenRequestA; acceptTypes is a null-terminated list, or null.
    virtual InternetHandle OpenRequest(InternetHandle connection, const char* verb, const char* object,
                                       const char* version, const char* referrer, const char* const* acceptTypes,
                                       std::uint32_t flags, std::uintptr_t context) = 0;
    // HttpSendRequestA.
    virtual bool SendRequest(InternetHandle request, const char* headers, std::uint32_t headersLength,
                             const void* optional, std::uint32_t optionalLength) = 0;
    // InternetReadFile: true with read = 0 at the end of the body. WinINet
    // waits until it has all toRead bytes or the body ended: a body that
    // trickles in keeps a large read for as long as it trickles.
    virtual bool ReadFile(InternetHandle request, void* buffer, std::uint32_t toRead, std::uint32_t& read) = 0;
    // InternetQueryDataAvailable: waits until some of the body has come (no
    // longer than the receive time-out), and tells how many bytes a read now
    // takes without waiting; 0 at the end of the body. False when the wait
    // failed. A client whose reads never wait for more than has come may
    // keep this answer: any amount.
    virtual bool QueryDataAvailable(InternetHandle, std::uint32_t& available) {
        available = kAnyAmount;
        return true;
    }
    // GetTickCount: milliseconds since some moment, wrapping after 49.7
    // days; what a download measures its deadline by. A client without a
    // clock keeps time standing, and no deadline passes.
    virtual std::uint32_t TickCount() { return 0; }
    // HttpQueryInfoA of the response's headers, the first of a kind: length
    // is the buffer's size in bytes in, the bytes written out (a text without
    // its terminator). False when the response has no such header, or when
    // the buffer is too small, with length then the size needed.
    virtual bool QueryInfo(InternetHandle request, std::uint32_t infoLevel, void* buffer,
                           std::uint32_t& length) = 0;
    // InternetCloseHandle.
    virtual bool CloseHandle(InternetHandle handle) = 0;
    // InternetSetOptionA with a DWORD value, for the handle and those opened
    // from it afterwards. An HTTP client without options refuses them all,
    // as WinINet refuses one it does not know.
    virtual bool SetOption(InternetHandle, std::uint32_t, std::uint32_t) { return false; }
    // Ends the request `milliseconds` from now, whatever it is doing then:
    // connecting, waiting for or taking in headers (interim answers
    // included) or the body. A send or read under way, or made later, then
    // fails. WinINet has no such option; each client keeps it its own way.
    // False when the client cannot, as this default.
    virtual bool SetDeadline(InternetHandle, std::uint32_t) { return false; }
};

}  // namespace platform
