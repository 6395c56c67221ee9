#include "quotes/text.h"

namespace quotes {

bool IsWhiteSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

std::string TrimLeft(const std::string& text) {
    std::size_t begin = 0;
    while (begin < text.size() && IsWhiteSpace(text[begin])) ++begin;
    return text.substr(begin);
}

std::string TrimRight(const std::string& text) {
    std::size_t end = text.size();
    while (end > 0 && IsWhiteSpace(text[end - 1])) --end;
    return text.substr(0, end);
}

std::string Trim(const std::string& text) { return TrimRight(TrimLeft(text)); }

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

}  // namespace quotes
