#include "escape.h"

#include <cstdio>

namespace e2e {

std::string EscapeText(const std::string& text) {
    std::string escaped;
    for (unsigned char c : text) {
        switch (c) {
        case '\\': escaped += "\\\\"; break;
        case '\n': escaped += "\\n"; break;
        case '\r': escaped += "\\r"; break;
        case '\t': escaped += "\\t"; break;
        default:
            if (c < 0x20 || c == 0x7F) {
                char hex[5];
                std::snprintf(hex, sizeof hex, "\\x%02x", c);
                escaped += hex;
            } else {
                escaped += static_cast<char>(c);
            }
        }
    }
    return escaped;
}

}  // namespace e2e
