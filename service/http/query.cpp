#include "service/http/query.h"

#include "service/simulated/quote_model.h"

namespace service {

namespace {

const std::string kVersionMarker = "&v=";
const std::string kAbsoluteScheme = "http://";
const char* const kHexDigits = "0123456789ABCDEF";
// Besides controls, space and bytes above 0x7E.
const std::string kUnsafeInPath = "%?#\"<>\\^`{|}";
constexpr unsigned char kFirstPrintable = 0x21;
constexpr unsigned char kLastPrintable = 0x7e;

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Where "name=" starts a parameter: at the front or right after an '&'.
std::optional<std::size_t> ParameterStart(const std::string& rawQuery, const std::string& name) {
    const std::string key = name + "=";
    for (std::size_t at = rawQuery.find(key); at != std::string::npos; at = rawQuery.find(key, at + 1)) {
        if (at == 0 || rawQuery[at - 1] == '&') return at + key.size();
    }
    return std::nullopt;
}

}  // namespace

Target SplitTarget(const std::string& target) {
    const std::size_t mark = target.find('?');
    if (mark == std::string::npos) return {PercentDecode(target, PlusSign::Literal), ""};
    return {PercentDecode(target.substr(0, mark), PlusSign::Literal), target.substr(mark + 1)};
}

std::string OriginForm(const std::string& target) {
    if (target.size() < kAbsoluteScheme.size() ||
        UpperCase(target.substr(0, kAbsoluteScheme.size())) != UpperCase(kAbsoluteScheme)) {
        return target;
    }
    const std::size_t pathStart = target.find_first_of("/?", kAbsoluteScheme.size());
    if (pathStart == std::string::npos) return "/";
    const std::string rest = target.substr(pathStart);
    return rest[0] == '?' ? "/" + rest : rest;
}

std::string EncodePath(const std::string& path) {
    std::string encoded;
    encoded.reserve(path.size());
    for (const char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < kFirstPrintable || byte > kLastPrintable || kUnsafeInPath.find(c) != std::string::npos) {
            encoded += '%';
            encoded += kHexDigits[byte >> 4];
            encoded += kHexDigits[byte & 0x0f];
        } else {
            encoded += c;
        }
    }
    return encoded;
}

std::string PercentDecode(const std::string& text, PlusSign plus) {
    std::string decoded;
    decoded.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '%' && i + 2 < text.size() && HexDigitValue(text[i + 1]) >= 0 && HexDigitValue(text[i + 2]) >= 0) {
            decoded.push_back(static_cast<char>(HexDigitValue(text[i + 1]) * 16 + HexDigitValue(text[i + 2])));
            i += 2;
        } else if (c == '+' && plus == PlusSign::Space) {
            decoded.push_back(' ');
        } else {
            decoded.push_back(c);
        }
    }
    return decoded;
}

std::optional<std::string> QueryValue(const std::string& rawQuery, const std::string& name) {
    std::size_t start = 0;
    while (start <= rawQuery.size()) {
        std::size_t end = rawQuery.find('&', start);
        if (end == std::string::npos) end = rawQuery.size();
        const std::string pair = rawQuery.substr(start, end - start);
        const std::size_t equals = pair.find('=');
        const std::string key = PercentDecode(pair.substr(0, equals), PlusSign::Space);
        if (!pair.empty() && key == name) {
            if (equals == std::string::npos) return std::string();
            return PercentDecode(pair.substr(equals + 1), PlusSign::Space);
        }
        start = end + 1;
    }
    return std::nullopt;
}

std::optional<std::string> DetailParameter(const std::string& rawQuery, const std::string& name) {
    const auto start = ParameterStart(rawQuery, name);
    if (!start) return std::nullopt;
    std::size_t end = rawQuery.rfind(kVersionMarker);
    if (end == std::string::npos || end < *start) {
        end = rawQuery.find('&', *start);
        if (end == std::string::npos) end = rawQuery.size();
    }
    return PercentDecode(rawQuery.substr(*start, end - *start), PlusSign::Literal);
}

std::string DetailTail(const std::string& rawQuery) {
    const std::size_t marker = rawQuery.rfind(kVersionMarker);
    if (marker == std::string::npos) return rawQuery;
    return rawQuery.substr(marker + 1);
}

}  // namespace service
