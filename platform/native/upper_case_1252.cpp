// Upper case by the rules of the Western code page (1252), the native
// build's stand-in for the system's code page.
#include "platform/text.h"

namespace platform {

namespace {

unsigned char UpperByte(unsigned char c) {
    constexpr unsigned char kCaseOffset = 0x20;
    if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - kCaseOffset);
    // à..þ except the division sign map to À..Þ.
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<unsigned char>(c - kCaseOffset);
    switch (c) {
    case 0x9A: return 0x8A;  // š
    case 0x9C: return 0x8C;  // œ
    case 0x9E: return 0x8E;  // ž
    case 0xFF: return 0x9F;  // ÿ
    default: return c;
    }
}

}  // namespace

std::string UpperCase(const std::string& text) {
    std::string upper = text;
    for (char& c : upper) c = static_cast<char>(UpperByte(static_cast<unsigned char>(c)));
    return upper;
}

}  // namespace platform
