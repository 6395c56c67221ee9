// Upper case by the system's own rules for its code page.
#include "platform/text.h"

#include "platform/win32/win32_api.h"

namespace platform {

std::string UpperCase(const std::string& text) {
    std::string upper = text;
    if (!upper.empty()) ::CharUpperBuffA(&upper[0], static_cast<DWORD>(upper.size()));
    return upper;
}

}  // namespace platform
