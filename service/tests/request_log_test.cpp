#include "service/request_log.h"

#include <gtest/gtest.h>

#include <sstream>
#include <thread>
#include <vector>

namespace service {
namespace {

TEST(RequestLine, IsTabSeparated) {
    EXPECT_EQ(FormatRequestLine({"GET", "/d/quotes.csv?f=sl1t1c1ghpv&s=IBM", "HTTP/1.0", "ORVO"}),
              "GET\t/d/quotes.csv?f=sl1t1c1ghpv&s=IBM\tHTTP/1.0\tORVO");
}

TEST(RequestLine, MarksAMissingAgentAndKeepsToOneLine) {
    EXPECT_EQ(FormatRequestLine({"GET", "/", "HTTP/1.1", ""}), "GET\t/\tHTTP/1.1\t-");
    EXPECT_EQ(FormatRequestLine({"GET", "/a\tb", "HTTP/1.0", "evil\r\nagent\x7f"}),
              "GET\t/a b\tHTTP/1.0\tevil  agent ");
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
                log.Write({"GET", "/t" + std::to_string(t) + "/" + std::to_string(i), "HTTP/1.0", "ORVO"});
        });
    }
    for (std::thread& writer : writers) writer.join();

    std::istringstream in(out.str());
    std::vector<int> nextOfThread(kThreads, 0);
    int lines = 0;
    for (std::string line; std::getline(in, line); ++lines) {
        int thread = -1;
        int index = -1;
        ASSERT_EQ(std::sscanf(line.c_str(), "GET\t/t%d/%d\tHTTP/1.0\tORVO", &thread, &index), 2) << line;
        ASSERT_GE(thread, 0);
        ASSERT_LT(thread, kThreads);
        EXPECT_EQ(index, nextOfThread[thread]++);  // each thread's lines in its own order
    }
    EXPECT_EQ(lines, kThreads * kLinesEach);
}

}  // namespace
}  // namespace service
