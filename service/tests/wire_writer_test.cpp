#include "service/http/wire_writer.h"

#include <gtest/gtest.h>

#include <future>

#include "socket_pair.h"

namespace service {
namespace {

using service_test::SocketPair;

constexpr auto kGenerousWait = std::chrono::seconds(30);
const std::string kBody = "Symbol,Last\r\n\"IBM\",123.50\r\n";

Reply CsvReply() { return {kStatusOk, kCsvType, kBody}; }

// What the client receives for the delivery, and how the service ends.
struct Sent {
    std::string bytes;
    Ending ending;
};

Sent DeliverToClient(const Delivery& delivery) {
    SocketPair pair;
    StopSignal stop;
    const Ending ending = Deliver(pair.service(), delivery, stop);
    ::shutdown(pair.service(), SHUT_WR);
    return {pair.ClientReceivesAll(), ending};
}

TEST(ResponseHead, SaysWhatEachFramingNeeds) {
    const Reply redirect{302, kHtmlType, "", {{"Location", "http://127.0.0.1:1/x"}}};
    const struct {
        Reply reply;
        Framing framing;
        std::uint64_t length;
        const char* head;
    } cases[] = {
        {CsvReply(), Framing::Length, 27,
         "HTTP/1.1 200 OK\r\nContent-Type: text/csv\r\nContent-Length: 27\r\nConnection: close\r\n\r\n"},
        {CsvReply(), Framing::CloseDelimited, 27, "HTTP/1.0 200 OK\r\nContent-Type: text/csv\r\nConnection: close\r\n\r\n"},
        {CsvReply(), Framing::Chunked, 27,
         "HTTP/1.1 200 OK\r\nContent-Type: text/csv\r\nTransfer-Encoding: chunked\r\nConnection: close\r\n\r\n"},
        {redirect, Framing::Length, 0,
         "HTTP/1.1 302 Found\r\nContent-Type: text/html\r\nContent-Length: 0\r\nLocation: http://127.0.0.1:1/x\r\n"
         "Connection: close\r\n\r\n"},
        {{599, kHtmlType, ""}, Framing::Length, 0,
         "HTTP/1.1 599 Error\r\nContent-Type: text/html\r\nContent-Length: 0\r\nConnection: close\r\n\r\n"},
    };
    for (const auto& c : cases) EXPECT_EQ(ResponseHead(c.reply, c.framing, c.length), c.head);
}

TEST(Deliver, SendsTheBodyWholeRepeatedOrCutShort) {
    const std::string head = ResponseHead(CsvReply(), Framing::Length, kBody.size());
    const Sent whole = DeliverToClient(ApplyFault({}, CsvReply()));
    EXPECT_EQ(whole.bytes, head + kBody);
    EXPECT_EQ(whole.ending, Ending::Graceful);

    const Sent truncated = DeliverToClient(ApplyFault({FaultMode::Truncate, 5}, CsvReply()));
    EXPECT_EQ(truncated.bytes, head + kBody.substr(0, 5));

    const Sent repeated = DeliverToClient(ApplyFault({FaultMode::Oversized, 60}, CsvReply()));
    EXPECT_EQ(repeated.bytes, ResponseHead(CsvReply(), Framing::Length, 60) + kBody + kBody + kBody.substr(0, 6));
}

TEST(Deliver, CutSendsNoLengthAndStopsInsideTheLine) {
    const Sent cut = DeliverToClient(ApplyFault({FaultMode::Cut, std::nullopt}, CsvReply()));
    EXPECT_EQ(cut.bytes, ResponseHead(CsvReply(), Framing::CloseDelimited) + kBody.substr(0, MiddleOfLastLine(kBody)));
    EXPECT_EQ(cut.ending, Ending::Graceful);
}

TEST(Deliver, BadChunkSendsOneGoodChunkThenAnUnreadableSize) {
    const std::size_t good = MiddleOfLastLine(kBody);
    const Sent broken = DeliverToClient(ApplyFault({FaultMode::BadChunk, std::nullopt}, CsvReply()));
    char size[16];
    std::snprintf(size, sizeof size, "%zx", good);
    EXPECT_EQ(broken.bytes, ResponseHead(CsvReply(), Framing::Chunked) + size + "\r\n" + kBody.substr(0, good) +
                                "\r\nZZ\r\n" + kBody.substr(good) + "\r\n");
    // With nothing before the break, no chunk of size 0 ends the body properly.
    const Sent atOnce = DeliverToClient(ApplyFault({FaultMode::BadChunk, 0}, CsvReply()));
    EXPECT_EQ(atOnce.bytes, ResponseHead(CsvReply(), Framing::Chunked) + "ZZ\r\n" + kBody + "\r\n");
}

TEST(Deliver, CloseAndResetSendNothing) {
    const Sent closed = DeliverToClient(ApplyFault({FaultMode::Close, std::nullopt}, CsvReply()));
    EXPECT_EQ(closed.bytes, "");
    EXPECT_EQ(closed.ending, Ending::Graceful);
    const Sent reset = DeliverToClient(ApplyFault({FaultMode::Reset, std::nullopt}, CsvReply()));
    EXPECT_EQ(reset.bytes, "");
    EXPECT_EQ(reset.ending, Ending::Reset);
}

TEST(Deliver, TrickleSendsTheSameBytesInPieces) {
    const std::string normal = DeliverToClient(ApplyFault({}, CsvReply())).bytes;
    // In one piece, and in pieces of 50 bytes with pauses between them.
    for (const std::uint64_t bytesPerSecond : {100000, 500}) {
        EXPECT_EQ(DeliverToClient(ApplyFault({FaultMode::Trickle, bytesPerSecond}, CsvReply())).bytes, normal);
    }
}

TEST(Deliver, StallSendsTheHeadOnlyAndHangSendsNothingUntilTheHoldIsOver) {
    EXPECT_EQ(DeliverToClient(ApplyFault({FaultMode::Stall, 50}, CsvReply())).bytes,
              ResponseHead(CsvReply(), Framing::Length, kBody.size()));
    EXPECT_EQ(DeliverToClient(ApplyFault({FaultMode::Hang, 50}, CsvReply())).bytes, "");
}

// The hold would be ten minutes; the client leaving or the stop ends it.
TEST(Deliver, HangEndsWhenTheClientLeavesOrTheServiceStops) {
    const Delivery hang = ApplyFault({FaultMode::Hang, std::nullopt}, CsvReply());
    {
        SocketPair pair;
        StopSignal stop;
        auto held = std::async(std::launch::async, [&] { return Deliver(pair.service(), hang, stop); });
        pair.ClientSends("more bytes, still there");
        pair.CloseClient();
        const bool ended = held.wait_for(kGenerousWait) == std::future_status::ready;
        EXPECT_TRUE(ended);
        stop.Raise();  // frees the thread if it did not end
    }
    for (const FaultMode mode : {FaultMode::Hang, FaultMode::Stall}) {
        SocketPair pair;
        StopSignal stop;
        auto held = std::async(std::launch::async,
                               [&] { return Deliver(pair.service(), ApplyFault({mode, std::nullopt}, CsvReply()), stop); });
        stop.Raise();
        EXPECT_EQ(held.wait_for(kGenerousWait), std::future_status::ready);
    }
}

TEST(Deliver, SlowWaitsAreCutShortByTheStop) {
    SocketPair pair;
    StopSignal stop;
    stop.Raise();
    EXPECT_EQ(Deliver(pair.service(), ApplyFault({FaultMode::Slow, 600000}, CsvReply()), stop), Ending::Graceful);
    ::shutdown(pair.service(), SHUT_WR);
    EXPECT_EQ(pair.ClientReceivesAll(), "");
}

}  // namespace
}  // namespace service
