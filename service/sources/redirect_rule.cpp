#include "service/sources/redirect_rule.h"

#include <cctype>

namespace service {

namespace {

const char* const kHttp = "http";
const char* const kHttps = "https";
const char* const kHttpPort = "80";
const char* const kHttpsPort = "443";
const char* const kSchemeEnd = "://";
constexpr std::size_t kMaxPortDigits = 5;

struct Origin {
    std::string scheme;  // lower case
    std::string host;    // lower case, brackets kept around IPv6
    std::string port;    // the scheme's own when none is written
};

std::string LowerCase(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

bool AllDigits(const std::string& text) {
    if (text.empty()) return false;
    for (const char c : text) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}

std::optional<Origin> OriginOf(const std::string& url) {
    const std::size_t schemeEnd = url.find(kSchemeEnd);
    if (schemeEnd == std::string::npos) return std::nullopt;
    Origin origin;
    origin.scheme = LowerCase(url.substr(0, schemeEnd));
    if (origin.scheme != kHttp && origin.scheme != kHttps) return std::nullopt;
    const std::size_t start = schemeEnd + 3;
    const std::size_t end = url.find_first_of("/?#", start);
    std::string authority = url.substr(start, end == std::string::npos ? std::string::npos : end - start);
    const std::size_t at = authority.rfind('@');
    if (at != std::string::npos) authority.erase(0, at + 1);
    const std::size_t bracket = authority.rfind(']');
    const std::size_t colon = authority.rfind(':');
    if (colon != std::string::npos && (bracket == std::string::npos || colon > bracket)) {
        const std::string port = authority.substr(colon + 1);
        authority.erase(colon);
        if (!AllDigits(port) || port.size() > kMaxPortDigits) return std::nullopt;
        origin.port = std::to_string(std::stoul(port));  // "0443" is 443
    } else {
        origin.port = origin.scheme == kHttps ? kHttpsPort : kHttpPort;
    }
    origin.host = LowerCase(authority);
    if (origin.host.empty()) return std::nullopt;
    return origin;
}

}  // namespace

bool MayFollowRedirect(const std::string& from, const std::string& to, bool carriesKey) {
    const auto target = OriginOf(to);
    if (!target) return false;
    if (!carriesKey) return true;
    const auto source = OriginOf(from);
    return source && target->scheme == kHttps && target->host == source->host && target->port == source->port;
}

std::optional<std::string> RedirectTarget(const std::string& from, const std::string& location) {
    if (OriginOf(location)) return location;
    const std::size_t schemeEnd = from.find(kSchemeEnd);
    if (!OriginOf(from) || schemeEnd == std::string::npos) return std::nullopt;
    if (location.rfind("//", 0) == 0) return from.substr(0, schemeEnd + 1) + location;
    if (location.rfind('/', 0) == 0) {
        const std::size_t pathStart = from.find_first_of("/?#", schemeEnd + 3);
        return from.substr(0, pathStart) + location;
    }
    return std::nullopt;
}

}  // namespace service
