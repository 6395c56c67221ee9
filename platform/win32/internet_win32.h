#pragma once
// The real HTTP client: every call forwards to the WinINet function of the
// same name and decides nothing. A request's deadline, which WinINet lacks,
// is kept by a watchdog that closes the request when it passes.
#include "platform/internet.h"
#include "platform/win32/request_watchdog.h"

namespace platform::win32 {

class Win32Internet final : public Internet {
public:
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
    bool QueryDataAvailable(InternetHandle request, std::uint32_t& available) override;
    std::uint32_t TickCount() override;
    bool QueryInfo(InternetHandle request, std::uint32_t infoLevel, void* buffer, std::uint32_t& length) override;
    bool CloseHandle(InternetHandle handle) override;
    bool SetOption(InternetHandle handle, std::uint32_t option, std::uint32_t value) override;
    bool SetDeadline(InternetHandle request, std::uint32_t milliseconds) override;

private:
    RequestWatchdog watchdog_;
};

}  // namespace platform::win32
