#pragma once
// InternetCanonicalizeUrlA for the native build: the unsafe bytes of an
// address escaped as %XX and its "." and ".." path segments resolved. In
// browser mode whatever follows the first '?' or '#' stays as written.
#include <optional>
#include <string>

namespace platform::native {

// Nothing for an empty address or one without a "scheme:" in front.
std::optional<std::string> CanonicalUrl(const std::string& url, bool browserMode);

}  // namespace platform::native
