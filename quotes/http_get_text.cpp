#include "quotes/http_get_text.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>
#include <vector>

#include "platform/scoped_internet.h"
#include "quotes/body_reader.h"
#include "quotes/redirect.h"

namespace quotes {

namespace {

constexpr char kAgent[] = "ORVO";
constexpr char kVerb[] = "GET";
constexpr char kHttpVersion[] = "HTTP/1.0";
// The context value of the session, which its connection and request share.
constexpr std::uintptr_t kSessionContext = 1;
constexpr std::uint32_t kSessionFlags = platform::kInternetFlagDontCache;
// Every request goes to the server and nothing is written to the cache.
// Redirects are followed here, a bounded number of times.
constexpr std::uint32_t kRequestFlags = platform::kInternetFlagReload | platform::kInternetFlagExistingConnect |
                                        platform::kInternetFlagDontCache | platform::kInternetFlagNoAutoRedirect;
constexpr std::uint32_t kNoFlags = 0;

// The piece buffer: one byte more than a piece is given, so the text stays
// zero-terminated whatever was read into it.
constexpr std::size_t kPieceBufferSize = 1024;
constexpr std::size_t kPieceCapacity = kPieceBufferSize - 1;

constexpr std::uint32_t kNoStatus = 0;
// A Location longer than the first buffer is asked for once more at its
// size, up to a bound far above any real address.
constexpr std::size_t kLocationBufferSize = 2048;
constexpr std::size_t kMostLocationBytes = 64 * 1024;

// Canonicalising escapes a byte into at most three ("%20"); the slack covers
// what it may add to a bare address, such as the root path's '/'.
constexpr std::size_t kCanonicalGrowth = 3;
constexpr std::size_t kCanonicalSlack = 16;

struct Target {
    std::string server;
    std::uint16_t port = 0;
    std::string object;  // path with its query string
};

// Canonicalised in browser mode (the text after '?' or '#' stays as it was
// written), then cracked. Nothing when either step fails or the address is
// not an "http" one.
std::optional<Target> SplitAddress(platform::Internet& internet, const std::string& url) {
    std::vector<char> canonical(url.size() * kCanonicalGrowth + kCanonicalSlack, '\0');
    std::uint32_t length = static_cast<std::uint32_t>(canonical.size());
    if (!internet.CanonicalizeUrl(url.c_str(), canonical.data(), length, platform::kIcuBrowserMode)) {
        return std::nullopt;
    }
    platform::UrlParts parts;
    if (!internet.CrackUrl(canonical.data(), kNoFlags, parts)) return std::nullopt;
    if (parts.schemeNumber != platform::kInternetSchemeHttp) return std::nullopt;
    return Target{parts.host, parts.port, parts.urlPath + parts.extraInfo};
}

// The body, piece by piece, up to the bound: a longer one keeps its first
// part, as a read that fails part way does.
std::string ReadBody(platform::Internet& internet, platform::InternetHandle request, std::size_t mostBytes,
                     const DownloadDeadline& deadline) noexcept {
    std::string body;
    try {
        BodyReader reader(internet, request, deadline);
        std::array<char, kPieceBufferSize> piece{};
        for (;;) {
            piece.fill('\0');
            if (reader.ReadPiece(piece.data(), kPieceCapacity) == 0) break;
            const std::size_t length = std::strlen(piece.data());  // up to the first zero byte
            const std::size_t room = mostBytes - body.size();
            body.append(piece.data(), std::min(length, room));
            if (length >= room || reader.failed()) break;
        }
    } catch (...) {
        // No room for more: what was read stays, as after a failed read.
    }
    return body;
}

// The status of the response to a sent request; 0 when it has none, as
// when the server closed the connection without a word.
std::uint32_t StatusOf(platform::Internet& internet, platform::InternetHandle request) {
    std::uint32_t status = 0;
    std::uint32_t length = sizeof status;
    if (!internet.QueryInfo(request, platform::kHttpQueryStatusCode | platform::kHttpQueryFlagNumber, &status,
                            length)) {
        return kNoStatus;
    }
    return status;
}

// The Location of a redirect answer, resolved; nothing when it has none,
// and its body is then the answer; "" for a Location past the bound, which
// leads nowhere.
std::optional<std::string> RedirectAddress(platform::Internet& internet, platform::InternetHandle request,
                                           const Target& target) {
    std::vector<char> location(kLocationBufferSize, '\0');
    std::uint32_t length = static_cast<std::uint32_t>(location.size());
    if (!internet.QueryInfo(request, platform::kHttpQueryLocation, location.data(), length)) {
        // Too small: once more with the size asked for, within the bound.
        if (length <= location.size()) return std::nullopt;
        if (length > kMostLocationBytes) return std::string();
        location.assign(length + 1, '\0');
        length = static_cast<std::uint32_t>(location.size());
        if (!internet.QueryInfo(request, platform::kHttpQueryLocation, location.data(), length)) return std::string();
    }
    const std::string text(location.data(), std::min<std::size_t>(length, location.size()));
    if (text.empty()) return std::nullopt;  // no place to go: the answer stands
    return ResolveRedirect(target.server, target.port, target.object, text);
}

std::string Download(platform::Internet& internet, const std::string& url, const DownloadLimits& limits) {
    const DownloadDeadline deadline(internet, limits.deadlineMs);
    const platform::ScopedInternetHandle session(
        internet, internet.Open(kAgent, platform::kInternetOpenTypePreconfig, nullptr, nullptr, kSessionFlags));
    if (!session) return kDownloadErrorText;

    std::string address = url;
    for (int redirects = 0;; ++redirects) {
        const std::optional<Target> target = SplitAddress(internet, address);
        if (!target || deadline.Passed()) return kDownloadErrorText;

        const platform::ScopedInternetHandle connection(
            internet, internet.Connect(session.get(), target->server.c_str(), target->port, nullptr, nullptr,
                                       platform::kInternetServiceHttp, kNoFlags, kSessionContext));
        if (!connection) return kDownloadErrorText;

        const platform::ScopedInternetHandle request(
            internet, internet.OpenRequest(connection.get(), kVerb, target->object.c_str(), kHttpVersion, nullptr,
                                           nullptr, kRequestFlags, kSessionContext));
        if (!request) return kDownloadErrorText;
        // On the request itself: not every WinINet passes a session's
        // time-outs on to its requests. A refusal leaves WinINet's own values.
        internet.SetOption(request.get(), platform::kInternetOptionConnectTimeout, limits.connectTimeoutMs);
        internet.SetOption(request.get(), platform::kInternetOptionReceiveTimeout, limits.receiveTimeoutMs);
        // The whole exchange, headers and interim answers included, ends
        // with the download's deadline: the client cuts it off itself, even
        // in the middle of a send.
        internet.SetDeadline(request.get(), deadline.RemainingMs());

        if (!internet.SendRequest(request.get(), nullptr, 0, nullptr, 0)) return kDownloadErrorText;
        // Only a redirect is told apart: an error page is a body like any
        // other. No status at all means no answer came, which Windows' WinINet
        // already fails at the send; not every WinINet does.
        const std::uint32_t status = StatusOf(internet, request.get());
        if (status == kNoStatus) return kDownloadErrorText;
        if (!IsRedirectStatus(status)) return ReadBody(internet, request.get(), limits.mostBodyBytes, deadline);
        const std::optional<std::string> next = RedirectAddress(internet, request.get(), *target);
        if (!next) return ReadBody(internet, request.get(), limits.mostBodyBytes, deadline);
        if (next->empty() || redirects == kMostRedirects) return kDownloadErrorText;
        address = *next;
    }
}

}  // namespace

std::string HttpGetText(platform::Internet& internet, const std::string& url, const DownloadLimits& limits) noexcept {
    try {
        return Download(internet, url, limits);
    } catch (...) {
        // Out of memory before the body: as if no request could be made.
        // The text fits a string's own small buffer, so this allocates nothing.
        return kDownloadErrorText;
    }
}

}  // namespace quotes
