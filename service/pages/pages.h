#pragma once
// The home site's fixed pages.
#include <string>

namespace service {

std::string HomePage();
std::string HelpPage();
std::string NewsPage();
std::string NotFoundPage(const std::string& path);

}  // namespace service
