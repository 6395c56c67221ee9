#include "quotes/redirect.h"

#include <algorithm>
#include <cctype>

namespace quotes {

namespace {

constexpr std::uint32_t kMovedPermanently = 301;
constexpr std::uint32_t kFound = 302;
constexpr std::uint32_t kSeeOther = 303;
constexpr std::uint32_t kTemporaryRedirect = 307;
constexpr std::uint32_t kPermanentRedirect = 308;

// "scheme:" ahead of anything else: a letter, then letters, digits, '+',
// '-' or '.', then the colon.
bool HasScheme(const std::string& location) {
    const std::size_t colon = location.find(':');
    if (colon == std::string::npos || colon == 0) return false;
    if (std::isalpha(static_cast<unsigned char>(location[0])) == 0) return false;
    return std::all_of(location.begin(), location.begin() + static_cast<std::ptrdiff_t>(colon), [](unsigned char c) {
        return std::isalnum(c) != 0 || c == '+' || c == '-' || c == '.';
    });
}

std::string Origin(const std::string& server, std::uint16_t port) {
    const bool literalV6 = server.find(':') != std::string::npos;
    return "http://" + (literalV6 ? "[" + server + "]" : server) + ":" + std::to_string(port);
}

}  // namespace

bool IsRedirectStatus(std::uint32_t status) {
    return status == kMovedPermanently || status == kFound || status == kSeeOther || status == kTemporaryRedirect ||
           status == kPermanentRedirect;
}

std::string ResolveRedirect(const std::string& server, std::uint16_t port, const std::string& object,
                            const std::string& location) {
    if (HasScheme(location)) return location;
    if (location.rfind("//", 0) == 0) return "http:" + location;
    const std::string origin = Origin(server, port);
    if (!location.empty() && location[0] == '/') return origin + location;

    const std::string path = object.substr(0, object.find_first_of("?#"));
    const std::string absolutePath = path.empty() || path[0] != '/' ? "/" + path : path;
    if (!location.empty() && location[0] == '?') return origin + absolutePath + location;
    if (!location.empty() && location[0] == '#') return origin + object.substr(0, object.find('#')) + location;
    return origin + absolutePath.substr(0, absolutePath.rfind('/') + 1) + location;
}

}  // namespace quotes
