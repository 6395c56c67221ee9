#pragma once
// Pages opened in the user's browser.
#include <string>

#include "platform/shell.h"

namespace quotes {

inline constexpr const char* kProgramVersion = "5.6";
inline constexpr const char* kBannerValue = "21";

// A label or link goes into a page address as typed ('&' and '?' too), but
// a space, a double quote or a control byte is percent-encoded: unescaped,
// they would let a hostile server message add arguments to the browser's
// command line.
std::string EscapeForCommandLine(const std::string& text);

// The home site's detail page for a link, and for a quoted symbol.
std::string LinkDetailPage(const std::string& link);
std::string SymbolDetailPage(const std::string& label);

// Opens the address with the shell's default handler; an empty address is
// never opened. The outcome is not checked.
void OpenInBrowser(platform::Shell& shell, const std::string& address);

}  // namespace quotes
