#pragma once
// Reading the fields of a source's JSON without trusting its types: a field
// of the wrong type, null or missing is simply absent.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include <nlohmann/json.hpp>

namespace service {

// No source's answer nests deeper or holds more values than these; a body
// beyond them is refused before it is parsed, as a parsed value costs tens
// of bytes a byte (2 MiB of '[' took 200 MiB).
constexpr std::size_t kMaxJsonDepth = 64;
constexpr std::size_t kMaxJsonValues = 100000;

// Whether the body, read as JSON, stays within those bounds (strings and
// escapes in them skipped); says nothing on whether it is JSON at all.
bool JsonWithinBounds(const std::string& body);

// The body as a JSON object; nullopt for anything else (HTML, an array,
// garbage, a body beyond the bounds above).
std::optional<nlohmann::json> JsonObjectOf(const std::string& body);

// A finite number, or a string that is one whole ("182.63"), as Twelve Data sends them.
std::optional<double> NumberField(const nlohmann::json& object, const char* key);
// A whole number, or a string that is one.
std::optional<std::int64_t> IntegerField(const nlohmann::json& object, const char* key);
std::optional<std::string> TextField(const nlohmann::json& object, const char* key);
// A short printable name ("GBp", "America/New_York") that is kept with a
// quote; "" for anything longer or with control bytes, so a source cannot
// make a cached quote large.
std::string NameField(const nlohmann::json& object, const char* key);
// The member if it is an object or an array, else nullptr.
const nlohmann::json* StructField(const nlohmann::json& object, const char* key);

}  // namespace service
