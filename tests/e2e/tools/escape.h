#pragma once
// Window texts printed on one line: backslash escapes for line breaks, tabs,
// backslashes and other control bytes, so a test can restore the exact text.
#include <string>

namespace e2e {

std::string EscapeText(const std::string& text);

}  // namespace e2e
