#pragma once
// The two base addresses the bar talks to and the build's partner marker.
// They are build configuration (VELMORIA_HOME_SITE, VELMORIA_QUOTE_SERVICE,
// VELMORIA_BRANDING_ID); the defaults point at our own stand-in service.
#include <string>

namespace quotes {

// Each made afresh from a constant of the build: nothing the runtime
// destroys after WinMain returns, when a worker may still be making an
// address.
std::string HomeSite();      // "http://host[:port]"
std::string QuoteService();  // "http://host[:port]"
std::string BrandingId();

// The home site's address without its "http://" prefix; also the name the
// bar shows for it.
std::string HomeSiteHost();

// The home site's help page: the site's address and this path.
inline constexpr const char* kHelpPagePath = "/help.html";
std::string HelpPageAddress();

// The home site's server message for this build's partner marker.
std::string ServerMessageAddress();
// The home site's list of quote sources per exchange.
std::string ExchangeListAddress();

}  // namespace quotes
