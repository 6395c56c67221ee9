#include "log_lines.h"

#include <gtest/gtest.h>

#include <regex>

namespace service_test {

LoggedRequest ParseLogLine(const std::string& line) {
    static const std::regex kLine(R"((\d+)\t(\d+)\t(.*))");
    std::smatch match;
    if (!std::regex_match(line, match, kLine)) {
        ADD_FAILURE() << "not a request log line: " << line;
        return {0, 0, line};
    }
    return {std::stoull(match[1]), std::stoull(match[2]), match[3]};
}

std::vector<std::string> RequestsOf(const std::vector<std::string>& lines) {
    std::vector<std::string> requests;
    for (const std::string& line : lines) requests.push_back(ParseLogLine(line).request);
    return requests;
}

void ExpectOneConnectionEachInOrder(const std::vector<std::string>& lines) {
    LoggedRequest previous;
    for (const std::string& line : lines) {
        const LoggedRequest logged = ParseLogLine(line);
        EXPECT_GE(logged.elapsedMs, previous.elapsedMs) << line;
        EXPECT_GT(logged.connection, previous.connection) << line;
        previous = logged;
    }
}

}  // namespace service_test
