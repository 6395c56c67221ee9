#pragma once
// Reading a Retry-After header: delay-seconds or an HTTP date.
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

namespace service {

// Never longer than a day, whatever the source says.
constexpr std::chrono::seconds kMaxRetryAfter{86400};

// The wait it asks for, counted from nowEpoch (seconds since 1970) for a
// date; nullopt for text that is neither form.
std::optional<std::chrono::seconds> RetryAfterDelay(const std::string& text, std::int64_t nowEpoch);

}  // namespace service
