#pragma once
// Reading the request log back: each line is the time in milliseconds, the
// connection number, then the request's own fields, all split at tabs.
#include <cstdint>
#include <string>
#include <vector>

namespace service_test {

struct LoggedRequest {
    std::uint64_t elapsedMs = 0;
    std::uint64_t connection = 0;
    std::string request;  // METHOD TAB TARGET TAB VERSION TAB AGENT
};

// Fails the calling test (and returns what it could read) when the line
// does not start with two numbers.
LoggedRequest ParseLogLine(const std::string& line);

// The request fields of each line, without time and connection.
std::vector<std::string> RequestsOf(const std::vector<std::string>& lines);

// Lines written one request after another: times never go back and every
// request came on a connection of its own, in order.
void ExpectOneConnectionEachInOrder(const std::vector<std::string>& lines);

}  // namespace service_test
