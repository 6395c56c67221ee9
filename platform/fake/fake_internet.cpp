#include "platform/fake/fake_internet.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <new>
#include <sstream>
#include <utility>

namespace platform::fake {

namespace {

constexpr std::uint16_t kDefaultFtpPort = 21;
constexpr unsigned long kHighestPort = 65535;
constexpr std::uint32_t kHttpStatusOk = 200;


struct Hex {
    std::uint32_t value;
};
std::ostream& operator<<(std::ostream& out, Hex hex) {
    return out << "0x" << std::hex << hex.value << std::dec;
}


std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::int32_t SchemeNumber(const std::string& scheme) {
    const std::string lower = Lower(scheme);
    if (lower == "http") return kInternetSchemeHttp;
    if (lower == "https") return kInternetSchemeHttps;
    if (lower == "ftp") return kInternetSchemeFtp;
    return kInternetSchemeUnknown;
}

std::uint16_t DefaultPort(std::int32_t schemeNumber) {
    switch (schemeNumber) {
    case kInternetSchemeHttp: return kInternetDefaultHttpPort;
    case kInternetSchemeHttps: return kInternetDefaultHttpsPort;
    case kInternetSchemeFtp: return kDefaultFtpPort;
    default: return 0;
    }
}

bool IsSchemeText(const std::string& text) {
    if (text.empty() || std::isalpha(static_cast<unsigned char>(text[0])) == 0) return false;
    return std::all_of(text.begin(), text.end(), [](unsigned char c) {
        return std::isalnum(c) != 0 || c == '+' || c == '-' || c == '.';
    });
}

std::string ServerKey(const std::string& host, std::uint16_t port) { return Lower(host) + ":" + std::to_string(port); }

}  // namespace


std::optional<UrlParts> FakeInternet::Split(const std::string& url) {
    const std::size_t colon = url.find("://");
    if (colon == std::string::npos || !IsSchemeText(url.substr(0, colon))) return std::nullopt;
    UrlParts parts;
    parts.scheme = url.substr(0, colon);
    parts.schemeNumber = SchemeNumber(parts.scheme);

    const std::size_t authorityStart = colon + 3;
    const std::size_t authorityEnd = std::min(url.find_first_of("/?#", authorityStart), url.size());
    std::string authority = url.substr(authorityStart, authorityEnd - authorityStart);
    const std::size_t at = authority.rfind('@');
    if (at != std::string::npos) {
        const std::string user = authority.substr(0, at);
        const std::size_t split = user.find(':');
        parts.userName = user.substr(0, split);
        if (split != std::string::npos) parts.password = user.substr(split + 1);
        authority.erase(0, at + 1);
    }
    const std::size_t portColon = authority.rfind(':');
    parts.host = authority.substr(0, portColon);
    parts.port = DefaultPort(parts.schemeNumber);
    if (portColon != std::string::npos) {
        const std::string portText = authority.substr(portColon + 1);
        if (portText.empty() || portText.size() > 5 ||
            !std::all_of(portText.begin(), portText.end(), [](unsigned char c) { return std::isdigit(c) != 0; })) {
            return std::nullopt;
        }
        const unsigned long port = std::stoul(portText);
        if (port > kHighestPort) return std::nullopt;
        parts.port = static_cast<std::uint16_t>(port);
    }
    if (parts.host.empty()) return std::nullopt;

    const std::size_t extraStart = std::min(url.find_first_of("?#", authorityEnd), url.size());
    parts.urlPath = url.substr(authorityEnd, extraStart - authorityEnd);
    parts.extraInfo = url.substr(extraStart);
    return parts;
}

void FakeInternet::StoreAnswer(const std::string& address, Answer answer) {
    const std::optional<UrlParts> parts = Split(address);
    if (!parts) return;
    const std::string object = (parts->urlPath.empty() ? "/" : parts->urlPath) + parts->extraInfo;
    answers_[ServerKey(parts->host, parts->port) + object] = std::move(answer);
}

void FakeInternet::Serve(const std::string& address, std::string body) {
    StoreAnswer(address, {kHttpStatusOk, std::nullopt, std::move(body)});
}

void FakeInternet::Redirect(const std::string& address, std::uint32_t status, std::optional<std::string> location) {
    StoreAnswer(address, {status, std::move(location), std::string()});
}

std::vector<std::string> FakeInternet::OpenHandleNames() const {
    std::vector<std::string> names;
    for (const auto& entry : open_) names.push_back(entry.second.name);
    return names;
}

std::string FakeInternet::NameOf(InternetHandle handle) const {
    if (handle == nullptr) return "null";
    const auto it = names_.find(handle);
    return it == names_.end() ? "?" : it->second;
}

InternetHandle FakeInternet::NewHandle(Kind kind, InternetHandle parent) {
    static const std::map<Kind, const char*> kPrefixes = {
        {Kind::Session, "s"}, {Kind::Connection, "c"}, {Kind::Request, "r"}};
    const auto handle = reinterpret_cast<InternetHandle>(nextHandle_++);
    Entry entry;
    entry.kind = kind;
    entry.name = kPrefixes.at(kind) + std::to_string(++counts_[kind]);
    entry.parent = parent;
    names_[handle] = entry.name;
    open_[handle] = std::move(entry);
    return handle;
}

FakeInternet::Entry* FakeInternet::Find(InternetHandle handle, Kind kind) {
    const auto it = open_.find(handle);
    return it == open_.end() || it->second.kind != kind ? nullptr : &it->second;
}

InternetHandle FakeInternet::Open(const char* agent, std::uint32_t accessType, const char* proxy,
                                  const char* proxyBypass, std::uint32_t flags) {
    if (openThrows) {
        Log(Format("InternetOpen", Quote(agent)) + " -> throws");
        throw std::bad_alloc();
    }
    const InternetHandle session = openFails ? nullptr : NewHandle(Kind::Session, nullptr);
    Log(Format("InternetOpen", Quote(agent), accessType, Quote(proxy), Quote(proxyBypass), Hex{flags}) + " -> " +
        NameOf(session));
    return session;
}

bool FakeInternet::CanonicalizeUrl(const char* url, char* buffer, std::uint32_t& length, std::uint32_t flags) {
    Log(Format("InternetCanonicalizeUrl", Quote(url), Hex{flags}));
    if (canonicalizeFails || url == nullptr) return false;
    const auto form = canonicalForms.find(url);
    const std::string canonical = form == canonicalForms.end() ? std::string(url) : form->second;
    if (buffer == nullptr || length <= canonical.size()) {
        length = static_cast<std::uint32_t>(canonical.size() + 1);
        return false;
    }
    std::memcpy(buffer, canonical.c_str(), canonical.size() + 1);
    length = static_cast<std::uint32_t>(canonical.size());
    return true;
}

bool FakeInternet::CrackUrl(const char* url, std::uint32_t flags, UrlParts& parts) {
    Log(Format("InternetCrackUrl", Quote(url), Hex{flags}));
    if (crackFails || url == nullptr) return false;
    const std::optional<UrlParts> split = Split(url);
    if (!split) return false;
    parts = *split;
    return true;
}

InternetHandle FakeInternet::Connect(InternetHandle session, const char* server, std::uint16_t port,
                                     const char* userName, const char* password, std::uint32_t service,
                                     std::uint32_t flags, std::uintptr_t context) {
    InternetHandle connection = nullptr;
    if (!connectFails && Find(session, Kind::Session) != nullptr && server != nullptr) {
        connection = NewHandle(Kind::Connection, session);
        open_[connection].server = ServerKey(server, port);
    }
    Log(Format("InternetConnect", NameOf(session), Quote(server), port, Quote(userName), Quote(password), service,
               Hex{flags}, context) +
        " -> " + NameOf(connection));
    return connection;
}

InternetHandle FakeInternet::OpenRequest(InternetHandle connection, const char* verb, const char* object,
                                         const char* version, const char* referrer, const char* const* acceptTypes,
                                         std::uint32_t flags, std::uintptr_t context) {
    InternetHandle request = nullptr;
    const Entry* parent = Find(connection, Kind::Connection);
    if (!openRequestFails && parent != nullptr) {
        const std::string server = parent->server;
        request = NewHandle(Kind::Request, connection);
        open_[request].server = server;
        open_[request].object = object == nullptr || *object == '\0' ? "/" : object;
    }
    Log(Format("HttpOpenRequest", NameOf(connection), Quote(verb), Quote(object), Quote(version), Quote(referrer),
               acceptTypes == nullptr ? "null" : "types", Hex{flags}, context) +
        " -> " + NameOf(request));
    return request;
}

bool FakeInternet::SendRequest(InternetHandle request, const char* headers, std::uint32_t headersLength,
                               const void* optional, std::uint32_t optionalLength) {
    Log(Format("HttpSendRequest", NameOf(request), Quote(headers), headersLength, optional == nullptr ? "null" : "data",
               optionalLength));
    Entry* entry = Find(request, Kind::Request);
    tickCount += msPerSend;
    if (onSend && entry != nullptr) onSend(entry->object);
    if (sendFails || entry == nullptr) return false;
    const auto answer = answers_.find(entry->server + entry->object);
    if (answer == answers_.end()) return false;
    entry->sent = true;
    entry->body = answer->second.body;
    entry->status = answer->second.status;
    entry->location = answer->second.location;
    entry->delivered = 0;
    return true;
}

bool FakeInternet::QueryInfo(InternetHandle request, std::uint32_t infoLevel, void* buffer, std::uint32_t& length) {
    const std::string call = Format("HttpQueryInfo", NameOf(request), Hex{infoLevel}, length);
    const Entry* entry = Find(request, Kind::Request);
    std::optional<std::string> text;
    const std::uint32_t level = infoLevel & ~kHttpQueryFlagNumber;
    if (!queryFails && entry != nullptr && entry->sent) {
        if (level == kHttpQueryStatusCode) text = std::to_string(entry->status);
        if (level == kHttpQueryLocation) text = entry->location;
    }
    if (!text || buffer == nullptr) {
        Log(call + " -> failed");
        return false;
    }
    if ((infoLevel & kHttpQueryFlagNumber) != 0) {
        const std::uint32_t number = static_cast<std::uint32_t>(std::stoul(*text));
        if (length < sizeof number) {
            length = sizeof number;
            Log(call + " -> too small");
            return false;
        }
        std::memcpy(buffer, &number, sizeof number);
        length = sizeof number;
    } else {
        if (length <= text->size()) {
            length = static_cast<std::uint32_t>(text->size() + 1);
            Log(call + " -> too small");
            return false;
        }
        std::memcpy(buffer, text->c_str(), text->size() + 1);
        length = static_cast<std::uint32_t>(text->size());
    }
    Log(call + " -> " + *text);
    return true;
}

bool FakeInternet::QueryDataAvailable(InternetHandle request, std::uint32_t& available) {
    available = 0;
    const Entry* entry = Find(request, Kind::Request);
    if (entry == nullptr || !entry->sent || queryDataFails) {
        Log(Format("InternetQueryDataAvailable", NameOf(request)) + " -> failed");
        return false;
    }
    // A read that is set to fail is left to fail as it reads.
    const std::size_t count = std::min(NextReadLimit(), entry->body.size() - entry->delivered);
    available = static_cast<std::uint32_t>(std::min<std::size_t>(count, UINT32_MAX));
    Log(Format("InternetQueryDataAvailable", NameOf(request)) + " -> " + std::to_string(available));
    return true;
}

bool FakeInternet::ReadFile(InternetHandle request, void* buffer, std::uint32_t toRead, std::uint32_t& read) {
    read = 0;
    tickCount += msPerRead;
    Entry* entry = Find(request, Kind::Request);
    const bool failing = readFailsAfter && entry != nullptr && entry->delivered >= *readFailsAfter;
    if (readThrowsAfter && entry != nullptr && entry->delivered >= *readThrowsAfter) {
        Log(Format("InternetReadFile", NameOf(request), toRead) + " -> throws");
        throw std::bad_alloc();
    }
    if (entry == nullptr || !entry->sent || failing || buffer == nullptr) {
        Log(Format("InternetReadFile", NameOf(request), toRead) + " -> failed");
        return false;
    }
    const std::size_t limit = NextReadLimit();
    if (!readSizes.empty()) readSizes.pop_front();
    std::size_t count = std::min<std::size_t>({toRead, limit, entry->body.size() - entry->delivered});
    if (readFailsAfter) count = std::min(count, *readFailsAfter - entry->delivered);
    if (readThrowsAfter) count = std::min(count, *readThrowsAfter - entry->delivered);
    std::memcpy(buffer, entry->body.data() + entry->delivered, count);
    entry->delivered += count;
    read = static_cast<std::uint32_t>(count);
    if (failingReadDelivers && count > 0 && readFailsAfter && entry->delivered == *readFailsAfter) {
        Log(Format("InternetReadFile", NameOf(request), toRead) + " -> " + std::to_string(count) + ", failed");
        return false;
    }
    Log(Format("InternetReadFile", NameOf(request), toRead) + " -> " + std::to_string(count));
    return true;
}

bool FakeInternet::CloseHandle(InternetHandle handle) {
    Log(Format("InternetCloseHandle", NameOf(handle)));
    return open_.erase(handle) > 0;
}

bool FakeInternet::SetOption(InternetHandle handle, std::uint32_t option, std::uint32_t value) {
    Log(Format("InternetSetOption", NameOf(handle), option, value));
    if (setOptionFails || open_.count(handle) == 0) return false;
    options[NameOf(handle)][option] = value;
    return true;
}

bool FakeInternet::SetDeadline(InternetHandle request, std::uint32_t milliseconds) {
    Log(Format("SetDeadline", NameOf(request), milliseconds));
    if (Find(request, Kind::Request) == nullptr) return false;
    deadlines[NameOf(request)] = milliseconds;
    return true;
}

}  // namespace platform::fake
