#include "service/http/request_reader.h"

#include <gtest/gtest.h>

#include <thread>

#include "socket_pair.h"
#include "service/http/reply.h"

namespace service {
namespace {

using service_test::SocketPair;

constexpr auto kShortPatience = std::chrono::milliseconds(200);

TEST(ParseRequestHead, TakesTheRequestLineAndTheAgent) {
    const struct {
        const char* text;
        const char* method;
        const char* target;
        const char* version;
        const char* agent;
    } cases[] = {
        {"GET /d/quotes.csv?s=IBM HTTP/1.0\r\nUser-Agent: ORVO\r\n\r\n", "GET", "/d/quotes.csv?s=IBM", "HTTP/1.0",
         "ORVO"},
        {"GET / HTTP/1.1\nHost: x\nuser-AGENT:   Mozilla/4.0 (compatible)  \n\n", "GET", "/", "HTTP/1.1",
         "Mozilla/4.0 (compatible)"},
        {"GET /help.html HTTP/1.0\r\n\r\n", "GET", "/help.html", "HTTP/1.0", ""},
        {"GET  /x   HTTP/1.0\r\nUser-Agent: a\r\nUser-Agent: b\r\n\r\n", "GET", "/x", "HTTP/1.0", "a"},
        {"GET /x\r\n\r\n", "GET", "/x", "", ""},
        {"GET /a b HTTP/1.0\r\n\r\n", "GET", "/a", "", ""},
        {"\r\n\r\n", "", "", "", ""},
    };
    for (const auto& c : cases) {
        const RequestHead head = ParseRequestHead(c.text);
        EXPECT_EQ(head.method, c.method) << c.text;
        EXPECT_EQ(head.target, c.target) << c.text;
        EXPECT_EQ(head.version, c.version) << c.text;
        EXPECT_EQ(head.userAgent, c.agent) << c.text;
    }
}

TEST(RefusalStatus, AnswersOnlyGetOverHttp1) {
    const struct {
        RequestHead head;
        int status;
    } cases[] = {
        {{"GET", "/", "HTTP/1.0", ""}, 0},
        {{"GET", "/", "HTTP/1.1", "x"}, 0},
        {{"POST", "/", "HTTP/1.1", ""}, kStatusMethodNotAllowed},
        {{"HEAD", "/", "HTTP/1.0", ""}, kStatusMethodNotAllowed},
        {{"GET", "/", "HTTP/2.0", ""}, kStatusVersionNotSupported},
        {{"GET", "/", "", ""}, kStatusBadRequest},
        {{"GET", "", "", ""}, kStatusBadRequest},
        {{"", "", "", ""}, kStatusBadRequest},
    };
    for (const auto& c : cases) EXPECT_EQ(RefusalStatus(c.head), c.status) << c.head.method << " " << c.head.version;
}

TEST(ReceiveRequestHead, StopsAtTheBlankLineEvenWhenItComesInPieces) {
    SocketPair pair;
    StopSignal stop;
    std::thread client([&pair] {
        for (const char* piece : {"GET / HTTP/1.0\r", "\nUser-Agent: ORVO\r\n\r", "\nbody that is not read"}) {
            pair.ClientSends(piece);
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    });
    const ReceivedHead received = ReceiveRequestHead(pair.service(), stop, std::chrono::seconds(10));
    client.join();
    EXPECT_EQ(received.arrival, HeadArrival::Complete);
    EXPECT_EQ(received.text, "GET / HTTP/1.0\r\nUser-Agent: ORVO\r\n\r\n");
}

TEST(ReceiveRequestHead, GivesUpOnWhatNeverEnds) {
    {
        SocketPair pair;
        StopSignal stop;
        pair.ClientSends(std::string(100, 'x'));
        const ReceivedHead received = ReceiveRequestHead(pair.service(), stop, std::chrono::seconds(10), 64);
        EXPECT_EQ(received.arrival, HeadArrival::TooLarge);
    }
    {
        SocketPair pair;
        StopSignal stop;
        pair.ClientSends("GET / HTTP/1.0\r\n");
        pair.CloseClient();
        EXPECT_EQ(ReceiveRequestHead(pair.service(), stop).arrival, HeadArrival::Missing);
    }
    {
        SocketPair pair;
        StopSignal stop;
        pair.ClientSends("GET / HTTP/1.0\r\n");
        EXPECT_EQ(ReceiveRequestHead(pair.service(), stop, kShortPatience).arrival, HeadArrival::Missing);
    }
    {
        // A stop ends the wait however long the patience.
        SocketPair pair;
        StopSignal stop;
        stop.Raise();
        EXPECT_EQ(ReceiveRequestHead(pair.service(), stop, std::chrono::hours(1)).arrival, HeadArrival::Missing);
    }
}

}  // namespace
}  // namespace service
