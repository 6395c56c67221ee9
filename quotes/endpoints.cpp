#include "quotes/endpoints.h"

#include "quotes/endpoints_config.h"

namespace quotes {

namespace {
constexpr const char* kHttpPrefix = "http://";
}

const std::string& HomeSite() {
    static const std::string site = VELMORIA_HOME_SITE;
    return site;
}

const std::string& QuoteService() {
    static const std::string service = VELMORIA_QUOTE_SERVICE;
    return service;
}

const std::string& BrandingId() {
    static const std::string id = VELMORIA_BRANDING_ID;
    return id;
}

std::string HomeSiteHost() {
    const std::string& site = HomeSite();
    const std::string prefix = kHttpPrefix;
    return site.compare(0, prefix.size(), prefix) == 0 ? site.substr(prefix.size()) : site;
}

std::string HelpPageAddress() { return HomeSite() + kHelpPagePath; }

std::string ServerMessageAddress() { return HomeSite() + "/getmessage.asp?ID=" + BrandingId(); }

std::string ExchangeListAddress() { return HomeSite() + "/exchanges.html"; }

}  // namespace quotes
