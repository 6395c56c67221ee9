#include "quotes/text.h"

#include "platform/text.h"

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

std::string UpperCase(const std::string& text) { return platform::UpperCase(text); }

}  // namespace quotes
