#include "service/http/request_log.h"

#include <gtest/gtest.h>

#include <sstream>
#include <thread>
#include <vector>

namespace service {
namespace {

TEST(RequestLine, IsTabSeparatedWithTimeAndConnectionFirst) {
    EXPECT_EQ(FormatRequestLine({1234, 7, "GET", "/d/quotes.csv?f=sl1t1c1ghpv&s=IBM", "HTTP/1.0", "ORVO"}),
              "1234\t7\tGET\t/d/quotes.csv?f=sl1t1c1ghpv&s=IBM\tHTTP/1.0\tORVO");
}

TEST(RequestLine, MarksAMissingAgentAndKeepsToOneLine) {
    EXPECT_EQ(FormatRequestLine({0, 1, "GET", "/", "HTTP/1.1", ""}), "0\t1\tGET\t/\tHTTP/1.1\t-");
    EXPECT_EQ(FormatRequestLine({5, 2, "GET", "/a\tb", "HTTP/1.0", "evil\r\nagent\x7f"}),
              "5\t2\tGET\t/a b\tHTTP/1.0\tevil  agent ");
}

TEST(RequestLog, WritesWholeLinesFromManyThreads) {
    constexpr int kThreads = 8;
    constexpr int kLinesEach = 200;
    std::ostringstream out;
    RequestLog log(out);
    std::vector<std::thread> writers;
    for (int t = 0; t < kThreads; ++t) {
        writers.emplace_back([&log, t] {
            for (int i = 0; i < kLinesEach; ++i)
                log.Write({static_cast<std::uint64_t>(i), static_cast<std::uint64_t>(t), "GET",
                           "/t" + std::to_string(t) + "/" + std::to_string(i), "HTTP/1.0", "ORVO"});
        });
    }
    for (std::thread& writer : writers) writer.join();

    std::istringstream in(out.str());
    std::vector<int> nextOfThread(kThreads, 0);
    int lines = 0;
    for (std::string line; std::getline(in, line); ++lines) {
        int elapsed = -1;
        int connection = -1;
        int thread = -1;
        int index = -1;
        ASSERT_EQ(std::sscanf(line.c_str(), "%d\t%d\tGET\t/t%d/%d\tHTTP/1.0\tORVO", &elapsed, &connection, &thread,
                              &index),
                  4)
            << line;
        ASSERT_GE(thread, 0);
        ASSERT_LT(thread, kThreads);
        EXPECT_EQ(connection, thread) << line;
        EXPECT_EQ(elapsed, index) << line;
        EXPECT_EQ(index, nextOfThread[thread]++);  // each thread's lines in its own order
    }
    EXPECT_EQ(lines, kThreads * kLinesEach);
}

}  // namespace
}  // namespace service
