#pragma once
// HTTP for the native build over libcurl, keeping WinINet's contract: the
// agent and version asked for, the environment's proxy settings, nothing
// cached, the body whatever the status, and a transfer that breaks off
// part way yields what arrived and then a failing read. Sending returns
// once the final response's headers are in; reads take the body as it
// arrives (curl_transfer.h). Connect and receive time-outs are Windows'
// defaults until InternetSetOption changes them. No redirect is followed,
// as if every request asked so (INTERNET_FLAG_NO_AUTO_REDIRECT): the bar's
// download follows them itself.
#include <map>
#include <memory>
#include <mutex>

#include "platform/internet.h"

namespace platform::native {

class CurlInternet final : public Internet {
public:
    CurlInternet();
    ~CurlInternet() override;
    CurlInternet(const CurlInternet&) = delete;
    CurlInternet& operator=(const CurlInternet&) = delete;

    InternetHandle Open(const char* agent, std::uint32_t accessType, const char* proxy, const char* proxyBypass,
                        std::uint32_t flags) override;
    bool CanonicalizeUrl(const char* url, char* buffer, std::uint32_t& length, std::uint32_t flags) override;
    bool CrackUrl(const char* url, std::uint32_t flags, UrlParts& parts) override;
    InternetHandle Connect(InternetHandle session, const char* server, std::uint16_t port, const char* userName,
                           const char* password, std::uint32_t service, std::uint32_t flags,
                           std::uintptr_t context) override;
    InternetHandle OpenRequest(InternetHandle connection, const char* verb, const char* object, const char* version,
                               const char* referrer, const char* const* acceptTypes, std::uint32_t flags,
                               std::uintptr_t context) override;
    bool SendRequest(InternetHandle request, const char* headers, std::uint32_t headersLength, const void* optional,
                     std::uint32_t optionalLength) override;
    bool ReadFile(InternetHandle request, void* buffer, std::uint32_t toRead, std::uint32_t& read) override;
    bool QueryInfo(InternetHandle request, std::uint32_t infoLevel, void* buffer, std::uint32_t& length) override;
    bool CloseHandle(InternetHandle handle) override;
    bool SetOption(InternetHandle handle, std::uint32_t option, std::uint32_t value) override;
    // libcurl's overall time-out on the exchange the send starts.
    bool SetDeadline(InternetHandle request, std::uint32_t milliseconds) override;
    // Reads hand out what has come as soon as anything has, so the default
    // QueryDataAvailable (any amount) holds. The clock is the monotonic one.
    std::uint32_t TickCount() override;

    struct Object;  // a session, connection or request

private:
    // The object behind a handle that is open, of the kind asked for.
    template <class Kind>
    std::shared_ptr<Kind> Find(InternetHandle handle);
    InternetHandle Keep(std::shared_ptr<Object> object);

    std::mutex mutex_;  // guards objects_: downloads on several threads share this object
    std::map<const Object*, std::shared_ptr<Object>> objects_;
};

}  // namespace platform::native
