#pragma once
// Reading request targets as they arrive: the raw query text, not a decoded
// map, because the ticker sends some values without any encoding.
#include <optional>
#include <string>

namespace service {

struct Target {
    std::string path;   // decoded
    std::string query;  // raw, without the '?'
};

Target SplitTarget(const std::string& target);

// The path and query of a request target: an absolute one, as a client
// sends through a proxy ("http://host:port/path?query"), loses its scheme
// and host; any other is kept as it is.
std::string OriginForm(const std::string& target);

// A decoded path made fit to stand in an address again: bytes that may not
// appear in a path are written %XX.
std::string EncodePath(const std::string& path);

enum class PlusSign { Space, Literal };

// %XX becomes its byte; a '%' without two hex digits stays as it is.
std::string PercentDecode(const std::string& text, PlusSign plus);

// The first value of a form-style parameter ('+' is a space).
std::optional<std::string> QueryValue(const std::string& rawQuery, const std::string& name);

// A detail-page parameter. The ticker pastes labels and links in unencoded
// and always follows them with "&v=", so a value runs to the last "&v=" and
// may hold '&' itself. Only %XX is decoded, since a '+' is what was typed.
std::optional<std::string> DetailParameter(const std::string& rawQuery, const std::string& name);

// The parameters that follow a detail value ("v=5.6&ban=21").
std::string DetailTail(const std::string& rawQuery);

}  // namespace service
