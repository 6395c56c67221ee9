#include "platform/native/internet_curl.h"

#include <curl/curl.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "platform/native/canonical_url.h"
#include "platform/native/curl_handles.h"
#include "platform/native/curl_transfer.h"

namespace platform::native {

namespace {

// WinINet numbers only this back end needs.
constexpr std::uint32_t kInternetOpenTypeProxy = 3;
constexpr std::uint32_t kInternetFlagPragmaNoCache = 0x00000100;
constexpr std::uint32_t kZeroTerminated = 0xFFFFFFFF;  // a header length of -1L
constexpr char kHttp10[] = "HTTP/1.0";
constexpr char kGet[] = "GET";
constexpr char kHead[] = "HEAD";

std::optional<std::string> Text(const char* text) {
    return text == nullptr ? std::nullopt : std::optional<std::string>(text);
}

// One piece of a parsed address; nothing when the address has none.
std::optional<std::string> UrlPart(CURLU* url, CURLUPart part, unsigned int flags = 0) {
    char* text = nullptr;
    if (curl_url_get(url, part, &text, flags) != CURLUE_OK || text == nullptr) return std::nullopt;
    std::string result(text);
    curl_free(text);
    return result;
}

std::int32_t SchemeNumber(const std::string& scheme) {
    if (scheme == "http") return kInternetSchemeHttp;
    if (scheme == "https") return kInternetSchemeHttps;
    if (scheme == "ftp") return kInternetSchemeFtp;
    return kInternetSchemeUnknown;
}

std::string HostForUrl(const std::string& host) {
    return host.find(':') != std::string::npos ? "[" + host + "]" : host;
}

// curl refuses a target with spaces or control bytes in it, which WinINet
// would send as they are; they go escaped instead.
std::string SendableTarget(const std::string& object) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string target = object.empty() || object[0] != '/' ? "/" : "";
    for (const char c : object) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte > ' ' && byte != 0x7F) {
            target.push_back(c);
        } else {
            target += {'%', kHex[byte >> 4], kHex[byte & 0x0F]};
        }
    }
    return target;
}

// HttpSendRequestA's extra headers: lines ended by CR LF.
void AddHeaderLines(curl_slist*& list, const std::string& headers) {
    std::size_t start = 0;
    while (start < headers.size()) {
        std::size_t end = headers.find('\n', start);
        if (end == std::string::npos) end = headers.size();
        std::string line = headers.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) list = curl_slist_append(list, line.c_str());
        start = end + 1;
    }
}

}  // namespace

struct CurlInternet::Object {
    virtual ~Object() = default;
    // Set on this handle, or inherited from the one it was opened from.
    TransferLimits limits{kWindowsConnectTimeoutMs, kWindowsReceiveTimeoutMs};
};

namespace {

struct Session final : CurlInternet::Object {
    std::optional<std::string> agent;
    std::uint32_t accessType = kInternetOpenTypePreconfig;
    std::optional<std::string> proxy;
    std::optional<std::string> proxyBypass;
};

struct Connection final : CurlInternet::Object {
    std::shared_ptr<const Session> session;
    std::string server;
    std::uint16_t port = 0;
    std::optional<std::string> userName;
    std::optional<std::string> password;
};

struct Request final : CurlInternet::Object {
    std::shared_ptr<const Connection> connection;
    std::string verb;
    std::string object;
    std::string version;
    std::optional<std::string> referrer;
    std::vector<std::string> acceptTypes;
    std::uint32_t flags = 0;
    // When the request ends whatever it is doing, if it was given a deadline.
    std::optional<std::chrono::steady_clock::time_point> deadline;
    // Made by the send.
    std::unique_ptr<CurlTransfer> transfer;
};

}  // namespace

CurlInternet::CurlInternet() { curl_global_init(CURL_GLOBAL_DEFAULT); }

CurlInternet::~CurlInternet() {
    objects_.clear();
    curl_global_cleanup();
}

template <class Kind>
std::shared_ptr<Kind> CurlInternet::Find(InternetHandle handle) {
    const std::lock_guard<std::mutex> lock(mutex_);
    const auto it = objects_.find(reinterpret_cast<const Object*>(handle));
    return it == objects_.end() ? nullptr : std::dynamic_pointer_cast<Kind>(it->second);
}

InternetHandle CurlInternet::Keep(std::shared_ptr<Object> object) {
    const std::lock_guard<std::mutex> lock(mutex_);
    const Object* key = object.get();
    objects_[key] = std::move(object);
    return reinterpret_cast<InternetHandle>(const_cast<Object*>(key));
}

InternetHandle CurlInternet::Open(const char* agent, std::uint32_t accessType, const char* proxy,
                                  const char* proxyBypass, std::uint32_t) {
    // Nothing is ever cached here, so the cache flags need no handling.
    auto session = std::make_shared<Session>();
    session->agent = Text(agent);
    session->accessType = accessType;
    session->proxy = Text(proxy);
    session->proxyBypass = Text(proxyBypass);
    return Keep(std::move(session));
}

bool CurlInternet::CanonicalizeUrl(const char* url, char* buffer, std::uint32_t& length, std::uint32_t flags) {
    if (url == nullptr) return false;
    const std::optional<std::string> canonical = CanonicalUrl(url, (flags & kIcuBrowserMode) != 0);
    if (!canonical) return false;
    if (buffer == nullptr || length <= canonical->size()) {
        length = static_cast<std::uint32_t>(canonical->size() + 1);
        return false;
    }
    std::memcpy(buffer, canonical->c_str(), canonical->size() + 1);
    length = static_cast<std::uint32_t>(canonical->size());
    return true;
}

bool CurlInternet::CrackUrl(const char* url, std::uint32_t, UrlParts& parts) {
    if (url == nullptr) return false;
    const CurlUrl parsed(curl_url());
    if (!parsed || curl_url_set(parsed.get(), CURLUPART_URL, url,
                                CURLU_NON_SUPPORT_SCHEME | CURLU_PATH_AS_IS | CURLU_ALLOW_SPACE) != CURLUE_OK) {
        return false;
    }
    UrlParts found;
    found.scheme = UrlPart(parsed.get(), CURLUPART_SCHEME).value_or("");
    found.schemeNumber = SchemeNumber(found.scheme);
    found.host = UrlPart(parsed.get(), CURLUPART_HOST).value_or("");
    if (found.host.size() > 1 && found.host.front() == '[' && found.host.back() == ']') {
        found.host = found.host.substr(1, found.host.size() - 2);
    }
    const std::string port = UrlPart(parsed.get(), CURLUPART_PORT, CURLU_DEFAULT_PORT).value_or("0");
    found.port = static_cast<std::uint16_t>(std::stoul(port));
    found.userName = UrlPart(parsed.get(), CURLUPART_USER).value_or("");
    found.password = UrlPart(parsed.get(), CURLUPART_PASSWORD).value_or("");
    found.urlPath = UrlPart(parsed.get(), CURLUPART_PATH).value_or("");
    if (const auto query = UrlPart(parsed.get(), CURLUPART_QUERY)) found.extraInfo += "?" + *query;
    if (const auto fragment = UrlPart(parsed.get(), CURLUPART_FRAGMENT)) found.extraInfo += "#" + *fragment;
    parts = found;
    return true;
}

InternetHandle CurlInternet::Connect(InternetHandle session, const char* server, std::uint16_t port,
                                     const char* userName, const char* password, std::uint32_t service,
                                     std::uint32_t, std::uintptr_t) {
    auto owner = Find<Session>(session);
    if (!owner || server == nullptr || service != kInternetServiceHttp) return nullptr;
    auto connection = std::make_shared<Connection>();
    connection->limits = owner->limits;
    connection->session = std::move(owner);
    connection->server = server;
    connection->port = port;
    connection->userName = Text(userName);
    connection->password = Text(password);
    return Keep(std::move(connection));
}

InternetHandle CurlInternet::OpenRequest(InternetHandle connection, const char* verb, const char* object,
                                         const char* version, const char* referrer, const char* const* acceptTypes,
                                         std::uint32_t flags, std::uintptr_t) {
    auto owner = Find<Connection>(connection);
    if (!owner) return nullptr;
    auto request = std::make_shared<Request>();
    request->limits = owner->limits;
    request->connection = std::move(owner);
    request->verb = verb != nullptr ? verb : kGet;
    request->object = object != nullptr ? object : "/";
    request->version = version != nullptr ? version : "";
    request->referrer = Text(referrer);
    for (const char* const* type = acceptTypes; type != nullptr && *type != nullptr; ++type) {
        request->acceptTypes.emplace_back(*type);
    }
    request->flags = flags;
    return Keep(std::move(request));
}

bool CurlInternet::SendRequest(InternetHandle handle, const char* headers, std::uint32_t headersLength,
                               const void* optional, std::uint32_t optionalLength) {
    const auto request = Find<Request>(handle);
    if (!request) return false;
    const Connection& connection = *request->connection;
    const Session& session = *connection.session;
    CurlEasy curl(curl_easy_init());
    if (!curl) return false;

    const std::string url = "http://" + HostForUrl(connection.server) + ":" + std::to_string(connection.port) +
                            SendableTarget(request->object);
    curl_easy_setopt(curl.get(), CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl.get(), CURLOPT_PATH_AS_IS, 1L);
    curl_easy_setopt(curl.get(), CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl.get(), CURLOPT_HTTP_VERSION,
                     request->version == kHttp10 ? CURL_HTTP_VERSION_1_0 : CURL_HTTP_VERSION_1_1);
    if (session.agent) curl_easy_setopt(curl.get(), CURLOPT_USERAGENT, session.agent->c_str());
    if (request->referrer) curl_easy_setopt(curl.get(), CURLOPT_REFERER, request->referrer->c_str());
    if (connection.userName) curl_easy_setopt(curl.get(), CURLOPT_USERNAME, connection.userName->c_str());
    if (connection.password) curl_easy_setopt(curl.get(), CURLOPT_PASSWORD, connection.password->c_str());

    // The preconfigured access is curl's own default: the proxy variables of
    // the environment.
    if (session.accessType == kInternetOpenTypeDirect) {
        curl_easy_setopt(curl.get(), CURLOPT_PROXY, "");
    } else if (session.accessType == kInternetOpenTypeProxy && session.proxy) {
        curl_easy_setopt(curl.get(), CURLOPT_PROXY, session.proxy->c_str());
        if (session.proxyBypass) curl_easy_setopt(curl.get(), CURLOPT_NOPROXY, session.proxyBypass->c_str());
    }

    // Like WinINet: Host and User-Agent, and an Accept header only for the
    // types asked for. Reloading concerns WinINet's own cache, which curl
    // does not have; only the pragma flag asks caches on the way to step aside.
    std::string accept = "Accept:";
    for (std::size_t i = 0; i < request->acceptTypes.size(); ++i) {
        accept += (i > 0 ? ", " : " ") + request->acceptTypes[i];
    }
    curl_slist* list = curl_slist_append(nullptr, accept.c_str());
    if ((request->flags & kInternetFlagPragmaNoCache) != 0) list = curl_slist_append(list, "Pragma: no-cache");
    if (headers != nullptr) {
        AddHeaderLines(list, headersLength == kZeroTerminated ? std::string(headers) : std::string(headers, headersLength));
    }
    CurlList headerList(list);
    if (headerList) curl_easy_setopt(curl.get(), CURLOPT_HTTPHEADER, headerList.get());

    if (request->verb == kHead) {
        curl_easy_setopt(curl.get(), CURLOPT_NOBODY, 1L);
    } else if (request->verb != kGet) {
        curl_easy_setopt(curl.get(), CURLOPT_CUSTOMREQUEST, request->verb.c_str());
    }
    if (optional != nullptr && optionalLength > 0) {
        curl_easy_setopt(curl.get(), CURLOPT_POSTFIELDSIZE, static_cast<long>(optionalLength));
        curl_easy_setopt(curl.get(), CURLOPT_COPYPOSTFIELDS, optional);
        if (request->verb != kGet) curl_easy_setopt(curl.get(), CURLOPT_CUSTOMREQUEST, request->verb.c_str());
    }

    TransferLimits limits = request->limits;
    if (request->deadline) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(*request->deadline -
                                                                                std::chrono::steady_clock::now());
        if (left.count() <= 0) return false;  // over before it began
        limits.totalTimeoutMs = static_cast<std::uint32_t>(std::min<long long>(left.count(), UINT32_MAX));
    }
    auto transfer = std::make_unique<CurlTransfer>(std::move(curl), std::move(headerList), limits);
    if (!transfer->Start()) return false;
    request->transfer = std::move(transfer);
    return true;
}

bool CurlInternet::ReadFile(InternetHandle handle, void* buffer, std::uint32_t toRead, std::uint32_t& read) {
    read = 0;
    const auto request = Find<Request>(handle);
    if (!request || !request->transfer || buffer == nullptr) return false;
    std::size_t count = 0;
    const bool ok = request->transfer->Read(static_cast<char*>(buffer), toRead, count);
    read = static_cast<std::uint32_t>(count);
    return ok;
}

bool CurlInternet::QueryInfo(InternetHandle handle, std::uint32_t infoLevel, void* buffer, std::uint32_t& length) {
    const auto request = Find<Request>(handle);
    if (!request || !request->transfer || buffer == nullptr) return false;
    const CurlTransfer& transfer = *request->transfer;
    const std::uint32_t level = infoLevel & ~kHttpQueryFlagNumber;
    if ((infoLevel & kHttpQueryFlagNumber) != 0) {
        // Only the status is a number here.
        if (level != kHttpQueryStatusCode || transfer.status() <= 0) return false;
        const auto status = static_cast<std::uint32_t>(transfer.status());
        if (length < sizeof status) {
            length = sizeof status;
            return false;
        }
        std::memcpy(buffer, &status, sizeof status);
        length = sizeof status;
        return true;
    }
    std::optional<std::string> text;
    if (level == kHttpQueryStatusCode && transfer.status() > 0) text = std::to_string(transfer.status());
    if (level == kHttpQueryLocation) text = transfer.location();
    if (!text) return false;
    if (length <= text->size()) {
        length = static_cast<std::uint32_t>(text->size() + 1);
        return false;
    }
    std::memcpy(buffer, text->c_str(), text->size() + 1);
    length = static_cast<std::uint32_t>(text->size());
    return true;
}

bool CurlInternet::CloseHandle(InternetHandle handle) {
    const std::lock_guard<std::mutex> lock(mutex_);
    return objects_.erase(reinterpret_cast<const Object*>(handle)) > 0;
}

bool CurlInternet::SetOption(InternetHandle handle, std::uint32_t option, std::uint32_t value) {
    const auto object = Find<Object>(handle);
    if (!object) return false;
    switch (option) {
    case kInternetOptionConnectTimeout: object->limits.connectTimeoutMs = value; return true;
    case kInternetOptionReceiveTimeout: object->limits.receiveTimeoutMs = value; return true;
    default: return false;
    }
}

bool CurlInternet::SetDeadline(InternetHandle handle, std::uint32_t milliseconds) {
    const auto request = Find<Request>(handle);
    if (!request) return false;
    request->deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    return true;
}

std::uint32_t CurlInternet::TickCount() {
    // Cut to 32 bits, it wraps as GetTickCount does.
    const auto since = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

}  // namespace platform::native
