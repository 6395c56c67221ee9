#include "platform/win32/internet_win32.h"

#include <windows.h>
// After windows.h, which it needs.
#include <wininet.h>

namespace platform::win32 {

// The logic's numbers must be the real ones.
static_assert(kInternetOpenTypePreconfig == INTERNET_OPEN_TYPE_PRECONFIG &&
              kInternetOpenTypeDirect == INTERNET_OPEN_TYPE_DIRECT);
static_assert(kInternetServiceHttp == INTERNET_SERVICE_HTTP);
static_assert(kInternetFlagReload == INTERNET_FLAG_RELOAD &&
              kInternetFlagExistingConnect == INTERNET_FLAG_EXISTING_CONNECT &&
              kInternetFlagDontCache == INTERNET_FLAG_DONT_CACHE &&
              kInternetFlagNoAutoRedirect == INTERNET_FLAG_NO_AUTO_REDIRECT);
static_assert(kHttpQueryStatusCode == HTTP_QUERY_STATUS_CODE && kHttpQueryLocation == HTTP_QUERY_LOCATION &&
              kHttpQueryFlagNumber == HTTP_QUERY_FLAG_NUMBER);
static_assert(kIcuBrowserMode == ICU_BROWSER_MODE);
static_assert(kInternetSchemeUnknown == INTERNET_SCHEME_UNKNOWN && kInternetSchemeFtp == INTERNET_SCHEME_FTP &&
              kInternetSchemeHttp == INTERNET_SCHEME_HTTP && kInternetSchemeHttps == INTERNET_SCHEME_HTTPS);
static_assert(kInternetDefaultHttpPort == INTERNET_DEFAULT_HTTP_PORT &&
              kInternetDefaultHttpsPort == INTERNET_DEFAULT_HTTPS_PORT);
static_assert(kInternetOptionConnectTimeout == INTERNET_OPTION_CONNECT_TIMEOUT &&
              kInternetOptionReceiveTimeout == INTERNET_OPTION_RECEIVE_TIMEOUT);
static_assert(sizeof(InternetHandle) == sizeof(HINTERNET) && sizeof(std::uintptr_t) == sizeof(DWORD_PTR));

namespace {

HINTERNET Native(InternetHandle handle) { return reinterpret_cast<HINTERNET>(handle); }
InternetHandle Handle(HINTERNET handle) { return reinterpret_cast<InternetHandle>(handle); }

std::string Piece(const char* text, DWORD length) { return text == nullptr ? std::string() : std::string(text, length); }

}  // namespace

InternetHandle Win32Internet::Open(const char* agent, std::uint32_t accessType, const char* proxy,
                                   const char* proxyBypass, std::uint32_t flags) {
    return Handle(::InternetOpenA(agent, accessType, proxy, proxyBypass, flags));
}

bool Win32Internet::CanonicalizeUrl(const char* url, char* buffer, std::uint32_t& length, std::uint32_t flags) {
    DWORD size = length;
    const bool ok = ::InternetCanonicalizeUrlA(url, buffer, &size, flags) != FALSE;
    length = size;
    return ok;
}

bool Win32Internet::CrackUrl(const char* url, std::uint32_t flags, UrlParts& parts) {
    // Lengths without buffers: WinINet points each piece into the address.
    URL_COMPONENTSA components{};
    components.dwStructSize = sizeof components;
    components.dwSchemeLength = 1;
    components.dwHostNameLength = 1;
    components.dwUserNameLength = 1;
    components.dwPasswordLength = 1;
    components.dwUrlPathLength = 1;
    components.dwExtraInfoLength = 1;
    if (::InternetCrackUrlA(url, 0, flags, &components) == FALSE) return false;
    parts.scheme = Piece(components.lpszScheme, components.dwSchemeLength);
    parts.schemeNumber = components.nScheme;
    parts.host = Piece(components.lpszHostName, components.dwHostNameLength);
    parts.port = components.nPort;
    parts.userName = Piece(components.lpszUserName, components.dwUserNameLength);
    parts.password = Piece(components.lpszPassword, components.dwPasswordLength);
    parts.urlPath = Piece(components.lpszUrlPath, components.dwUrlPathLength);
    parts.extraInfo = Piece(components.lpszExtraInfo, components.dwExtraInfoLength);
    return true;
}

InternetHandle Win32Internet::Connect(InternetHandle session, const char* server, std::uint16_t port,
                                      const char* userName, const char* password, std::uint32_t service,
                                      std::uint32_t flags, std::uintptr_t context) {
    return Handle(::InternetConnectA(Native(session), server, port, userName, password, service, flags, context));
}

InternetHandle Win32Internet::OpenRequest(InternetHandle connection, const char* verb, const char* object,
                                          const char* version, const char* referrer, const char* const* acceptTypes,
                                          std::uint32_t flags, std::uintptr_t context) {
    return Handle(::HttpOpenRequestA(Native(connection), verb, object, version, referrer,
                                     const_cast<LPCSTR*>(acceptTypes), flags, context));
}

bool Win32Internet::SendRequest(InternetHandle request, const char* headers, std::uint32_t headersLength,
                                const void* optional, std::uint32_t optionalLength) {
    if (headers == nullptr && optional == nullptr) {
        // The download's send, the one a server can hold: no longer than
        // the request's deadline.
        return watchdog_.RunWithin(request, [](InternetHandle sent) {
            return ::HttpSendRequestA(Native(sent), nullptr, 0, nullptr, 0) != FALSE;
        });
    }
    return ::HttpSendRequestA(Native(request), headers, headersLength, const_cast<void*>(optional),
                              optionalLength) != FALSE;
}

bool Win32Internet::ReadFile(InternetHandle request, void* buffer, std::uint32_t toRead, std::uint32_t& read) {
    DWORD count = 0;
    const bool ok = ::InternetReadFile(Native(request), buffer, toRead, &count) != FALSE;
    read = count;
    return ok;
}

bool Win32Internet::QueryDataAvailable(InternetHandle request, std::uint32_t& available) {
    DWORD count = 0;
    const bool ok = ::InternetQueryDataAvailable(Native(request), &count, 0, 0) != FALSE;
    available = count;
    return ok;
}

std::uint32_t Win32Internet::TickCount() { return ::GetTickCount(); }

bool Win32Internet::QueryInfo(InternetHandle request, std::uint32_t infoLevel, void* buffer, std::uint32_t& length) {
    DWORD size = length;
    const bool ok = ::HttpQueryInfoA(Native(request), infoLevel, buffer, &size, nullptr) != FALSE;
    length = size;
    return ok;
}

bool Win32Internet::CloseHandle(InternetHandle handle) { return watchdog_.Close(handle); }

bool Win32Internet::SetOption(InternetHandle handle, std::uint32_t option, std::uint32_t value) {
    DWORD buffer = value;
    return ::InternetSetOptionA(Native(handle), option, &buffer, sizeof buffer) != FALSE;
}

bool Win32Internet::SetDeadline(InternetHandle request, std::uint32_t milliseconds) {
    return watchdog_.Watch(request, milliseconds);
}

}  // namespace platform::win32
