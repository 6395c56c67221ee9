#pragma once
// The redirects a download follows itself: which answers are redirects, and
// where their Location leads. WinINet on Windows stops a redirect loop, but
// not every WinINet does, and one that follows for ever would hold an update
// pass for ever; so the download asks WinINet not to follow, and follows a
// bounded number of hops here, the same on every platform.
#include <cstdint>
#include <string>

namespace quotes {

// Hops followed before a download gives up; a redirect past them fails
// the download. Ten, as Windows documents for its other HTTP client.
inline constexpr int kMostRedirects = 10;

// The statuses WinINet follows: 301, 302, 303, 307 and 308.
bool IsRedirectStatus(std::uint32_t status);

// The address a Location leads to from the request that answered with it
// (server, port, and the object asked for: path, query and fragment). An
// address with a scheme stands as written; "//host/..." takes "http:",
// "/path" the server, "?query" the path, and any other text the place of
// the path's last segment.
std::string ResolveRedirect(const std::string& server, std::uint16_t port, const std::string& object,
                            const std::string& location);

}  // namespace quotes
