#include "service/sources/json_fields.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace service {

namespace {

constexpr std::size_t kMaxNameLength = 64;
constexpr unsigned char kFirstPrintable = 0x20;
constexpr unsigned char kDelete = 0x7F;

const nlohmann::json* Member(const nlohmann::json& object, const char* key) {
    if (!object.is_object()) return nullptr;
    const auto found = object.find(key);
    return found == object.end() ? nullptr : &*found;
}

std::optional<double> NumberFromText(const std::string& text) {
    double value = 0;
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, value);
    if (text.empty() || result.ec != std::errc() || result.ptr != end || !std::isfinite(value)) return std::nullopt;
    return value;
}

}  // namespace

bool JsonWithinBounds(const std::string& body) {
    std::size_t depth = 0;
    std::size_t values = 1;
    bool inString = false;
    bool escaped = false;
    for (const char c : body) {
        if (inString) {
            if (escaped) {
                escaped = false;
            } else if (c == '\\') {
                escaped = true;
            } else if (c == '"') {
                inString = false;
            }
            continue;
        }
        switch (c) {
        case '"': inString = true; break;
        case '[':
        case '{':
            if (++depth > kMaxJsonDepth || ++values > kMaxJsonValues) return false;
            break;
        case ']':
        case '}':
            if (depth > 0) --depth;
            break;
        case ',':
            if (++values > kMaxJsonValues) return false;
            break;
        default: break;
        }
    }
    return true;
}

std::optional<nlohmann::json> JsonObjectOf(const std::string& body) {
    if (!JsonWithinBounds(body)) return std::nullopt;
    nlohmann::json parsed = nlohmann::json::parse(body, nullptr, false);
    if (parsed.is_discarded() || !parsed.is_object()) return std::nullopt;
    return parsed;
}

std::optional<double> NumberField(const nlohmann::json& object, const char* key) {
    const nlohmann::json* member = Member(object, key);
    if (member == nullptr) return std::nullopt;
    if (member->is_number()) {
        const double value = member->get<double>();
        return std::isfinite(value) ? std::optional<double>(value) : std::nullopt;
    }
    if (member->is_string()) return NumberFromText(member->get_ref<const std::string&>());
    return std::nullopt;
}

std::optional<std::int64_t> IntegerField(const nlohmann::json& object, const char* key) {
    const nlohmann::json* member = Member(object, key);
    if (member == nullptr) return std::nullopt;
    if (member->is_number_integer()) {
        if (member->is_number_unsigned() &&
            member->get<std::uint64_t>() > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) {
            return std::nullopt;
        }
        return member->get<std::int64_t>();
    }
    // A float or a numeric string: taken when it is whole and in range.
    const auto number = NumberField(object, key);
    constexpr double kLimit = 9.0e18;
    if (!number || std::floor(*number) != *number || std::fabs(*number) > kLimit) return std::nullopt;
    return static_cast<std::int64_t>(*number);
}

std::optional<std::string> TextField(const nlohmann::json& object, const char* key) {
    const nlohmann::json* member = Member(object, key);
    if (member == nullptr || !member->is_string()) return std::nullopt;
    return member->get<std::string>();
}

std::string NameField(const nlohmann::json& object, const char* key) {
    const auto text = TextField(object, key);
    if (!text || text->size() > kMaxNameLength) return "";
    for (const char c : *text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < kFirstPrintable || byte == kDelete) return "";
    }
    return *text;
}

const nlohmann::json* StructField(const nlohmann::json& object, const char* key) {
    const nlohmann::json* member = Member(object, key);
    if (member == nullptr || !(member->is_object() || member->is_array())) return nullptr;
    return member;
}

}  // namespace service
