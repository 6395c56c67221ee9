#pragma once
// Small text helpers for 8-bit text in the system's code page.
#include <string>

namespace quotes {

// Space, tab, carriage return, line feed, vertical tab and form feed.
bool IsWhiteSpace(char c);
std::string TrimLeft(const std::string& text);
std::string TrimRight(const std::string& text);
std::string Trim(const std::string& text);
// Upper case by the rules of the system's code page (the platform's; the
// native build follows the Western code page, 1252).
std::string UpperCase(const std::string& text);

}  // namespace quotes
