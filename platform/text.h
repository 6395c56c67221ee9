#pragma once
// Text rules that belong to the system. Each back end supplies the
// implementation: Windows its own rules for the system's code page, the
// native build those of the Western code page (1252).
#include <string>

namespace platform {

// The text with its letters in upper case; every other byte stays.
std::string UpperCase(const std::string& text);

}  // namespace platform
