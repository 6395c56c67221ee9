#include "service/sources/symbol_forms.h"

#include <cctype>

namespace service {

namespace {

const char* const kHexDigits = "0123456789ABCDEF";
const char* const kCurrencySuffix = "=X";
constexpr std::size_t kCurrencyCodeLength = 3;
constexpr std::size_t kMaxClassShareRoot = 5;

bool IsSymbolByte(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' || c == '^' || c == '-' || c == '=';
}

bool IsUnreserved(unsigned char c) { return std::isalnum(c) || c == '-' || c == '.' || c == '_' || c == '~'; }

bool IsUpperWord(const std::string& text) {
    for (const char c : text) {
        if (c < 'A' || c > 'Z') return false;
    }
    return true;
}

}  // namespace

bool IsPlausibleSymbol(const std::string& symbol) {
    if (symbol.empty() || symbol.size() > kMaxPlausibleSymbolLength) return false;
    const std::size_t start = symbol[0] == '^' ? 1 : 0;
    if (start == symbol.size() || !std::isalnum(static_cast<unsigned char>(symbol[start]))) return false;
    for (std::size_t i = start; i < symbol.size(); ++i) {
        if (!IsSymbolByte(symbol[i]) || symbol[i] == '^') return false;
    }
    return true;
}

std::string EscapeQueryValue(const std::string& text) {
    std::string escaped;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (IsUnreserved(byte)) {
            escaped.push_back(c);
        } else {
            escaped.push_back('%');
            escaped.push_back(kHexDigits[byte >> 4]);
            escaped.push_back(kHexDigits[byte & 0x0F]);
        }
    }
    return escaped;
}

std::string ExchangeSuffix(const std::string& symbol) {
    const std::size_t dot = symbol.rfind('.');
    return dot == std::string::npos ? "" : symbol.substr(dot + 1);
}

std::string WithoutSuffix(const std::string& symbol) { return symbol.substr(0, symbol.rfind('.')); }

std::optional<std::pair<std::string, char>> ClassShare(const std::string& symbol) {
    if (symbol.size() < 3 || symbol.size() > kMaxClassShareRoot + 2) return std::nullopt;
    const std::string root = symbol.substr(0, symbol.size() - 2);
    const char separator = symbol[symbol.size() - 2];
    const char shareClass = symbol.back();
    if ((separator != '.' && separator != '-') || (shareClass != 'A' && shareClass != 'B') || !IsUpperWord(root)) {
        return std::nullopt;
    }
    return std::make_pair(root, shareClass);
}

std::string WithClassSeparator(const std::string& symbol, char separator) {
    const auto share = ClassShare(symbol);
    return share ? share->first + separator + share->second : symbol;
}

std::optional<std::pair<std::string, std::string>> CurrencyPair(const std::string& symbol) {
    const std::size_t pairLength = 2 * kCurrencyCodeLength;
    if (symbol.size() != pairLength + 2 || symbol.compare(pairLength, 2, kCurrencySuffix) != 0) return std::nullopt;
    const std::string base = symbol.substr(0, kCurrencyCodeLength);
    const std::string quote = symbol.substr(kCurrencyCodeLength, kCurrencyCodeLength);
    if (!IsUpperWord(base) || !IsUpperWord(quote)) return std::nullopt;
    return std::make_pair(base, quote);
}

}  // namespace service
