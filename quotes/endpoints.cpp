#include "quotes/endpoints.h"

#include "quotes/endpoints_config.h"

namespace quotes {

namespace {
constexpr const char* kHttpPrefix = "http://";
}

std::string HomeSite() { return config::kHomeSite; }

std::string QuoteService() { return config::kQuoteService; }

std::string BrandingId() { return config::kBrandingId; }

std::string HomeSiteHost() {
    const std::string site = HomeSite();
    const std::string prefix = kHttpPrefix;
    return site.compare(0, prefix.size(), prefix) == 0 ? site.substr(prefix.size()) : site;
}

std::string HelpPageAddress() { return HomeSite() + kHelpPagePath; }

std::string ServerMessageAddress() { return HomeSite() + "/getmessage.asp?ID=" + BrandingId(); }

std::string ExchangeListAddress() { return HomeSite() + "/exchanges.html"; }

}  // namespace quotes
