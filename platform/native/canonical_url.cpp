#include "platform/native/canonical_url.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <vector>

namespace platform::native {

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";
constexpr unsigned char kLastControl = 0x20;  // space and below
constexpr unsigned char kDelete = 0x7F;       // and everything above
constexpr char kUnsafe[] = "\"<>\\^`{|}";

bool IsWhiteSpace(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

bool IsUnsafe(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte <= kLastControl || byte >= kDelete || std::strchr(kUnsafe, c) != nullptr;
}

std::string Escaped(const std::string& text) {
    std::string result;
    result.reserve(text.size());
    for (const char c : text) {
        if (!IsUnsafe(c)) {
            result.push_back(c);
            continue;
        }
        const auto byte = static_cast<unsigned char>(c);
        result.push_back('%');
        result.push_back(kHexDigits[byte >> 4]);
        result.push_back(kHexDigits[byte & 0x0F]);
    }
    return result;
}

// "." and ".." segments of an absolute path resolved; a ".." at the top
// stays at the top.
std::string WithoutDotSegments(const std::string& path) {
    std::vector<std::string> segments;
    std::size_t start = 1;  // after the leading '/'
    bool endsInDirectory = false;
    while (start <= path.size()) {
        const std::size_t slash = std::min(path.find('/', start), path.size());
        const std::string segment = path.substr(start, slash - start);
        endsInDirectory = segment == "." || segment == "..";
        if (segment == "..") {
            if (!segments.empty()) segments.pop_back();
        } else if (segment != ".") {
            segments.push_back(segment);
        }
        start = slash + 1;
    }
    std::string result;
    for (const std::string& segment : segments) result += "/" + segment;
    if (endsInDirectory || result.empty()) result += "/";
    return result;
}

bool IsSchemeCharacter(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '+' || c == '-' || c == '.';
}

}  // namespace

std::optional<std::string> CanonicalUrl(const std::string& url, bool browserMode) {
    const auto first = std::find_if_not(url.begin(), url.end(), IsWhiteSpace);
    std::string text(first, url.end());

    const std::size_t colon = text.find(':');
    if (colon == std::string::npos || colon == 0 || std::isalpha(static_cast<unsigned char>(text[0])) == 0 ||
        !std::all_of(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(colon), IsSchemeCharacter)) {
        return std::nullopt;
    }

    // Trailing white space goes, except where browser mode keeps the query.
    std::size_t keptFrom = browserMode ? text.find_first_of("?#") : text.find('#');
    if (keptFrom == std::string::npos) {
        while (!text.empty() && IsWhiteSpace(text.back())) text.pop_back();
        keptFrom = text.size();
    }
    std::string scheme = text.substr(0, colon);
    std::transform(scheme.begin(), scheme.end(), scheme.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    std::string rest = text.substr(colon, keptFrom - colon);
    const std::string kept = text.substr(keptFrom);

    // The path of a "scheme://authority/path" address loses its dot segments;
    // a bare authority gets the root path.
    if (rest.compare(0, 3, "://") == 0) {
        const std::size_t pathStart = std::min(rest.find_first_of("/?#", 3), rest.size());
        const std::size_t pathEnd = std::min(rest.find_first_of("?#", pathStart), rest.size());
        const std::string path = rest.substr(pathStart, pathEnd - pathStart);
        const std::string resolved = path.empty() ? "/" : WithoutDotSegments(path);
        rest = rest.substr(0, pathStart) + resolved + rest.substr(pathEnd);
    }
    return scheme + Escaped(rest) + kept;
}

}  // namespace platform::native
