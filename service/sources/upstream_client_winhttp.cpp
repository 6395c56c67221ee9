// FetchUpstream over WinHTTP: Windows' own HTTP stack, which verifies
// certificates against the system's store. WinHTTP rather than WinINet, as
// it is the one made for programs that run in the background.
#include <windows.h>
#include <winhttp.h>

#include <memory>

#include "service/sources/redirect_rule.h"
#include "service/sources/upstream_client.h"

namespace service {

namespace {

using Clock = std::chrono::steady_clock;

constexpr DWORD kReadBytes = 16 * 1024;
constexpr long kFirstRedirect = 300;
constexpr long kLastRedirect = 399;

struct InternetHandleCloser {
    void operator()(void* handle) const { ::WinHttpCloseHandle(handle); }
};
using InternetHandle = std::unique_ptr<void, InternetHandleCloser>;

std::wstring Wide(const std::string& text) {
    if (text.empty()) return {};
    const int size = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), size);
    return wide;
}

std::string Narrow(const std::wstring& text) {
    if (text.empty()) return {};
    const int size =
        ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), narrow.data(), size, nullptr,
                          nullptr);
    return narrow;
}

int Milliseconds(std::chrono::milliseconds duration) { return static_cast<int>(duration.count()); }

// The parts of an address WinHTTP asks for apart.
struct Address {
    std::wstring host;
    INTERNET_PORT port = 0;
    std::wstring pathAndQuery;
    bool secure = false;
};

std::optional<Address> SplitAddress(const std::string& url) {
    const std::wstring wide = Wide(url);
    URL_COMPONENTS parts{};
    parts.dwStructSize = sizeof parts;
    parts.dwHostNameLength = static_cast<DWORD>(-1);
    parts.dwUrlPathLength = static_cast<DWORD>(-1);
    parts.dwExtraInfoLength = static_cast<DWORD>(-1);
    if (!::WinHttpCrackUrl(wide.c_str(), 0, 0, &parts)) return std::nullopt;
    if (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS) return std::nullopt;
    Address address;
    address.host.assign(parts.lpszHostName, parts.dwHostNameLength);
    address.port = parts.nPort;
    address.pathAndQuery.assign(parts.lpszUrlPath, parts.dwUrlPathLength);
    if (parts.lpszExtraInfo != nullptr) address.pathAndQuery.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
    if (address.pathAndQuery.empty()) address.pathAndQuery = L"/";
    address.secure = parts.nScheme == INTERNET_SCHEME_HTTPS;
    return address;
}

std::optional<std::string> HeaderText(HINTERNET request, DWORD query) {
    DWORD bytes = 0;
    ::WinHttpQueryHeaders(request, query, WINHTTP_HEADER_NAME_BY_INDEX, WINHTTP_NO_OUTPUT_BUFFER, &bytes,
                          WINHTTP_NO_HEADER_INDEX);
    if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER || bytes == 0) return std::nullopt;
    std::wstring value(bytes / sizeof(wchar_t), L'\0');
    if (!::WinHttpQueryHeaders(request, query, WINHTTP_HEADER_NAME_BY_INDEX, value.data(), &bytes,
                               WINHTTP_NO_HEADER_INDEX)) {
        return std::nullopt;
    }
    value.resize(bytes / sizeof(wchar_t));
    return Narrow(value);
}

long StatusCode(HINTERNET request) {
    DWORD status = 0;
    DWORD bytes = sizeof status;
    if (!::WinHttpQueryHeaders(request, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                               WINHTTP_HEADER_NAME_BY_INDEX, &status, &bytes, WINHTTP_NO_HEADER_INDEX)) {
        return 0;
    }
    return static_cast<long>(status);
}

// WinHTTP's error as a word on its kind, never with the address.
void Fail(UpstreamResponse& response, DWORD error) {
    switch (error) {
    case ERROR_WINHTTP_TIMEOUT:
        response.transfer = Transfer::TimedOut;
        response.failure = "no answer in time";
        return;
    case ERROR_WINHTTP_OPERATION_CANCELLED: response.transfer = Transfer::Stopped; response.failure = "stopped"; return;
    case ERROR_WINHTTP_NAME_NOT_RESOLVED: response.failure = "could not resolve the host name"; break;
    case ERROR_WINHTTP_CANNOT_CONNECT: response.failure = "could not connect"; break;
    case ERROR_WINHTTP_CONNECTION_ERROR: response.failure = "the connection failed"; break;
    case ERROR_WINHTTP_SECURE_FAILURE: response.failure = "the certificate could not be verified"; break;
    case ERROR_WINHTTP_REDIRECT_FAILED: response.failure = "redirected too often or elsewhere"; break;
    case ERROR_WINHTTP_INVALID_SERVER_RESPONSE: response.failure = "not an HTTP answer"; break;
    default: response.failure = "transfer failed (error " + std::to_string(error) + ")"; break;
    }
    response.transfer = Transfer::Failed;
}

bool Stopping(const std::atomic<bool>* stop) { return stop != nullptr && stop->load(); }

// The body up to the cap, reading no longer than the deadline allows.
void ReadBody(HINTERNET request, const UpstreamLimits& limits, Clock::time_point deadline,
              const std::atomic<bool>* stop, UpstreamResponse& response) {
    char buffer[kReadBytes];
    for (;;) {
        if (Stopping(stop)) {
            response.transfer = Transfer::Stopped;
            response.failure = "stopped";
            return;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) {
            Fail(response, ERROR_WINHTTP_TIMEOUT);
            return;
        }
        int receiveTimeout = Milliseconds(left);
        ::WinHttpSetOption(request, WINHTTP_OPTION_RECEIVE_TIMEOUT, &receiveTimeout, sizeof receiveTimeout);
        DWORD read = 0;
        if (!::WinHttpReadData(request, buffer, sizeof buffer, &read)) {
            Fail(response, ::GetLastError());
            return;
        }
        if (read == 0) break;
        if (response.body.size() + read > limits.maxBodyBytes) {
            response.transfer = Transfer::TooLarge;
            response.failure = "answer larger than " + std::to_string(limits.maxBodyBytes) + " bytes";
            return;
        }
        response.body.append(buffer, read);
    }
    response.transfer = Transfer::Complete;
}

// One request's connection and exchange, open while its answer is read.
struct OpenExchange {
    InternetHandle connection;
    InternetHandle exchange;
};

// Sends the request to `url` and waits for the head of its answer; false,
// with the failure in the response, when none came. A request with a key
// follows no redirect on its own: its caller looks at each first.
bool SendTo(HINTERNET session, const std::string& url, const UpstreamRequest& request, const UpstreamLimits& limits,
            OpenExchange& open, UpstreamResponse& response) {
    const auto address = SplitAddress(url);
    if (!address) {
        response.failure = "not an http or https address";
        return false;
    }
    open.exchange.reset();
    open.connection.reset(::WinHttpConnect(session, address->host.c_str(), address->port, 0));
    open.exchange.reset(open.connection
                            ? ::WinHttpOpenRequest(open.connection.get(), L"GET", address->pathAndQuery.c_str(), nullptr,
                                                   WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES,
                                                   address->secure ? WINHTTP_FLAG_SECURE : 0)
                            : nullptr);
    if (!open.exchange) {
        Fail(response, ::GetLastError());
        return false;
    }
    HINTERNET exchange = open.exchange.get();
    if (request.carriesKey) {
        DWORD policy = WINHTTP_OPTION_REDIRECT_POLICY_NEVER;
        ::WinHttpSetOption(exchange, WINHTTP_OPTION_REDIRECT_POLICY, &policy, sizeof policy);
        DWORD disabled = WINHTTP_DISABLE_REDIRECTS;
        ::WinHttpSetOption(exchange, WINHTTP_OPTION_DISABLE_FEATURE, &disabled, sizeof disabled);
    } else {
        DWORD redirects = static_cast<DWORD>(limits.maxRedirects);
        ::WinHttpSetOption(exchange, WINHTTP_OPTION_MAX_HTTP_AUTOMATIC_REDIRECTS, &redirects, sizeof redirects);
    }
    std::wstring headers;
    for (const std::string& header : request.headers) headers += Wide(header) + L"\r\n";
    if (!headers.empty()) {
        ::WinHttpAddRequestHeaders(exchange, headers.c_str(), static_cast<DWORD>(-1),
                                   WINHTTP_ADDREQ_FLAG_ADD | WINHTTP_ADDREQ_FLAG_REPLACE);
    }
    if (!::WinHttpSendRequest(exchange, WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0, 0, 0) ||
        !::WinHttpReceiveResponse(exchange, nullptr)) {
        Fail(response, ::GetLastError());
        return false;
    }
    return true;
}

bool IsRedirect(long status) { return status >= kFirstRedirect && status <= kLastRedirect; }

}  // namespace

UpstreamResponse FetchUpstream(const UpstreamRequest& request, const UpstreamLimits& limits,
                               const std::atomic<bool>* stop) {
    UpstreamResponse response;
    const auto deadline = Clock::now() + limits.totalTimeout;
    const auto address = SplitAddress(request.url);
    if (!address) {
        response.failure = "not an http or https address";
        return response;
    }
    if (Stopping(stop)) {
        Fail(response, ERROR_WINHTTP_OPERATION_CANCELLED);
        return response;
    }
    InternetHandle session(::WinHttpOpen(Wide(request.userAgent).c_str(), WINHTTP_ACCESS_TYPE_DEFAULT_PROXY,
                                         WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0));
    if (!session) {
        Fail(response, ::GetLastError());
        return response;
    }
    const int connectTimeout = Milliseconds(limits.connectTimeout);
    const int totalTimeout = Milliseconds(limits.totalTimeout);
    ::WinHttpSetTimeouts(session.get(), connectTimeout, connectTimeout, totalTimeout, totalTimeout);
    std::string url = request.url;
    OpenExchange open;
    for (long redirects = 0;; ++redirects) {
        if (!SendTo(session.get(), url, request, limits, open, response)) return response;
        if (!request.carriesKey) break;
        const auto location = HeaderText(open.exchange.get(), WINHTTP_QUERY_LOCATION);
        if (!IsRedirect(StatusCode(open.exchange.get())) || !location) break;
        if (redirects >= limits.maxRedirects) {
            Fail(response, ERROR_WINHTTP_REDIRECT_FAILED);
            return response;
        }
        const auto next = RedirectTarget(url, *location);
        if (!next || !MayFollowRedirect(url, *next, request.carriesKey)) {
            response.failure = "redirected away from the source's own host over https";
            return response;
        }
        url = *next;
    }
    HINTERNET exchange = open.exchange.get();
    response.status = StatusCode(exchange);
    response.contentType = HeaderText(exchange, WINHTTP_QUERY_CONTENT_TYPE).value_or("");
    response.retryAfter = HeaderText(exchange, WINHTTP_QUERY_RETRY_AFTER);
    // A redirect still standing once the allowed ones are used up.
    if (IsRedirect(response.status) &&
        !HeaderText(exchange, WINHTTP_QUERY_LOCATION).value_or("").empty()) {
        Fail(response, ERROR_WINHTTP_REDIRECT_FAILED);
        return response;
    }
    ReadBody(exchange, limits, deadline, stop, response);
    return response;
}

// WinHTTP needs no process-wide set-up.
UpstreamClientLibrary::UpstreamClientLibrary() = default;

UpstreamClientLibrary::~UpstreamClientLibrary() = default;

}  // namespace service
