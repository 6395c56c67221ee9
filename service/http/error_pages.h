#pragma once
// The pages a misbehaving server sends instead of the data that was asked for.
#include <string>

namespace service {

// A bare error page, the kind a server writes itself: "500 Internal
// Server Error" as title and heading.
std::string ErrorPage(int status);

// A whole styled web page about a failure, several lines long, the kind a
// portal or a proxy shows; a client that ignores the status would take its
// lines for data.
std::string ServerErrorSitePage();

// The body that goes with a redirect.
std::string MovedPage(const std::string& location);

}  // namespace service
