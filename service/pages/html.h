#pragma once
// The few pieces every page of the home site is made of.
#include <string>

namespace service {

// Safe in element text and in double- or single-quoted attributes.
std::string HtmlEscape(const std::string& text);

// A whole document: the site's heading, the given title and body markup.
// The title is escaped here; the body must already be markup.
std::string HtmlPage(const std::string& title, const std::string& bodyHtml);

}  // namespace service
