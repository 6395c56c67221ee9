#pragma once
// Where a redirect of an upstream request may lead. A key travels in a
// header of our own (X-Finnhub-Token) that no HTTP client knows to drop
// when a redirect leaves the host, so a request that carries one follows a
// redirect only to its own host and port over https.
#include <optional>
#include <string>

namespace service {

// http or https anywhere for a request without a key; for one with a key,
// https on the host and port it was sent to, never plain http.
bool MayFollowRedirect(const std::string& from, const std::string& to, bool carriesKey);

// The address a Location header leads to from `from`: an absolute http(s)
// address as it is, "//host/..." and "/path" on from's scheme and host;
// nullopt for anything else.
std::optional<std::string> RedirectTarget(const std::string& from, const std::string& location);

}  // namespace service
