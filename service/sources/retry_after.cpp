#include "service/sources/retry_after.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

#include "service/sources/exchange_time.h"

namespace service {

namespace {

const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
constexpr std::int64_t kSecondsPerDay = 86400;
constexpr std::size_t kMaxDigits = 9;

std::string Trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::optional<std::int64_t> Seconds(const std::string& text) {
    if (text.empty() || text.size() > kMaxDigits) return std::nullopt;
    std::int64_t value = 0;
    for (const char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

// "Sun, 06 Nov 1994 08:49:37 GMT"
std::optional<std::int64_t> HttpDate(const std::string& text) {
    char weekday[4] = {};
    char month[4] = {};
    int day = 0, year = 0, hour = 0, minute = 0, second = 0;
    char zone[4] = {};
    if (std::sscanf(text.c_str(), "%3s, %d %3s %d %d:%d:%d %3s", weekday, &day, month, &year, &hour, &minute, &second,
                    zone) != 8 ||
        std::strcmp(zone, "GMT") != 0) {
        return std::nullopt;
    }
    const auto found = std::find_if(std::begin(kMonths), std::end(kMonths),
                                    [&](const char* name) { return std::strcmp(name, month) == 0; });
    if (found == std::end(kMonths) || day < 1 || day > 31 || year < 1970 || year > 9999 || hour > 23 || hour < 0 ||
        minute < 0 || minute > 59 || second < 0 || second > 60) {
        return std::nullopt;
    }
    const int monthNumber = static_cast<int>(found - std::begin(kMonths)) + 1;
    return DaysFromCivil({year, monthNumber, day}) * kSecondsPerDay + hour * 3600 + minute * 60 + second;
}

}  // namespace

std::optional<std::chrono::seconds> RetryAfterDelay(const std::string& text, std::int64_t nowEpoch) {
    const std::string trimmed = Trimmed(text);
    std::optional<std::int64_t> delay = Seconds(trimmed);
    if (!delay) {
        const auto date = HttpDate(trimmed);
        if (!date) return std::nullopt;
        delay = std::max<std::int64_t>(0, *date - nowEpoch);
    }
    return std::min(std::chrono::seconds(*delay), kMaxRetryAfter);
}

}  // namespace service
