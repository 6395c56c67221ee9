#include "service/http/wire_writer.h"

#include <algorithm>
#include <cstdio>

#include "service/http/http_status.h"

namespace service {

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::size_t kChunkBytes = 64 * 1024;
constexpr std::size_t kScratchBytes = 4096;
// A trickle sends this many pieces a second, or one byte at a time when
// that is slower.
constexpr std::uint64_t kTricklePiecesPerSecond = 10;
constexpr std::uint64_t kMillisecondsPerSecond = 1000;
const char* const kLineEnd = "\r\n";

std::string HexSize(std::size_t size) {
    char text[32];
    std::snprintf(text, sizeof text, "%zx", size);
    return text;
}

// Sends `total` bytes of the body, repeated as often as it takes, in
// pieces of a bounded size: a large body never exists whole in memory.
bool SendRepeated(SocketHandle fd, const std::string& body, std::uint64_t total) {
    if (body.empty()) return total == 0;
    std::string piece;
    for (std::uint64_t sent = 0; sent < total;) {
        const auto count = static_cast<std::size_t>(std::min<std::uint64_t>(total - sent, kChunkBytes));
        piece.clear();
        while (piece.size() < count) {
            const std::size_t at = static_cast<std::size_t>((sent + piece.size()) % body.size());
            piece.append(body, at, std::min(count - piece.size(), body.size() - at));
        }
        if (!SendAll(fd, piece)) return false;
        sent += count;
    }
    return true;
}

bool SendPaced(SocketHandle fd, const std::string& bytes, std::uint64_t bytesPerSecond, const StopSignal& stop) {
    const std::uint64_t piece = std::max<std::uint64_t>(1, bytesPerSecond / kTricklePiecesPerSecond);
    const auto pause = std::chrono::milliseconds(piece * kMillisecondsPerSecond / bytesPerSecond);
    for (std::size_t sent = 0; sent < bytes.size();) {
        const auto count = static_cast<std::size_t>(std::min<std::uint64_t>(piece, bytes.size() - sent));
        if (!SendAll(fd, bytes.data() + sent, count)) return false;
        sent += count;
        if (sent < bytes.size() && !stop.Sleep(pause)) return false;
    }
    return true;
}

// Keeps the connection open without a word until the client leaves, the
// time is up or the service stops. What the client sends meanwhile is read
// and thrown away.
void HoldOpen(SocketHandle fd, std::chrono::milliseconds hold, const StopSignal& stop) {
    const auto deadline = Clock::now() + hold;
    char scratch[kScratchBytes];
    while (stop.WaitFor(fd, Watch::ReadableOrHangUp, deadline) == StopSignal::Woken::Ready) {
        const long count = ReceiveSome(fd, scratch, sizeof scratch, Waiting::DontWait);
        if (count == 0 || count == -1) return;
    }
}

// Content-Length and the bytes actually sent; a truncated body promises
// more than it sends.
struct BodyPlan {
    std::uint64_t declared;
    std::uint64_t sendable;
};

BodyPlan PlanBody(const Delivery& delivery) {
    const std::string& body = delivery.reply.body;
    std::uint64_t declared = body.size();
    if (delivery.repeatTo) declared = *delivery.repeatTo;
    if (delivery.dropAfter) declared = std::max<std::uint64_t>(body.size(), *delivery.dropAfter + 1);
    return {declared, delivery.dropAfter ? *delivery.dropAfter : declared};
}

Ending SendWithLength(SocketHandle fd, const Delivery& delivery) {
    const BodyPlan plan = PlanBody(delivery);
    if (SendAll(fd, ResponseHead(delivery.reply, Framing::Length, plan.declared))) {
        SendRepeated(fd, delivery.reply.body, plan.sendable);
    }
    return Ending::Graceful;
}

Ending SendTrickle(SocketHandle fd, const Delivery& delivery, const StopSignal& stop) {
    const BodyPlan plan = PlanBody(delivery);
    std::string bytes = ResponseHead(delivery.reply, Framing::Length, plan.declared);
    bytes.append(delivery.reply.body, 0, static_cast<std::size_t>(plan.sendable));
    SendPaced(fd, bytes, delivery.bytesPerSecond, stop);
    return Ending::Graceful;
}

Ending SendStall(SocketHandle fd, const Delivery& delivery, const StopSignal& stop) {
    if (SendAll(fd, ResponseHead(delivery.reply, Framing::Length, PlanBody(delivery).declared))) {
        HoldOpen(fd, delivery.hold, stop);
    }
    return Ending::Graceful;
}

Ending SendCut(SocketHandle fd, const Delivery& delivery) {
    const std::string& body = delivery.reply.body;
    const std::size_t sent = std::min(delivery.dropAfter.value_or(body.size()), body.size());
    SendAll(fd, ResponseHead(delivery.reply, Framing::CloseDelimited) + body.substr(0, sent));
    return Ending::Graceful;
}

// A good chunk with the body's first part (none when that part is empty,
// as a chunk of size 0 would end the body properly), then a size line a
// client cannot read, the rest of the body, and the end of the connection.
Ending SendBadChunk(SocketHandle fd, const Delivery& delivery) {
    const std::string& body = delivery.reply.body;
    const std::size_t good = std::min(delivery.dropAfter.value_or(0), body.size());
    std::string bytes = ResponseHead(delivery.reply, Framing::Chunked);
    if (good > 0) bytes += HexSize(good) + kLineEnd + body.substr(0, good) + kLineEnd;
    bytes += std::string(kBadChunkSize) + kLineEnd + body.substr(good) + kLineEnd;
    SendAll(fd, bytes);
    return Ending::Graceful;
}

}  // namespace

std::string ResponseHead(const Reply& reply, Framing framing, std::uint64_t contentLength) {
    const char* version = framing == Framing::CloseDelimited ? "HTTP/1.0" : "HTTP/1.1";
    std::string head = std::string(version) + " " + std::to_string(reply.status) + " " + ReasonPhrase(reply.status) +
                       kLineEnd + "Content-Type: " + reply.contentType + kLineEnd;
    if (framing == Framing::Length) head += "Content-Length: " + std::to_string(contentLength) + kLineEnd;
    if (framing == Framing::Chunked) head += std::string("Transfer-Encoding: chunked") + kLineEnd;
    for (const Header& header : reply.headers) head += header.name + ": " + header.value + kLineEnd;
    return head + "Connection: close" + kLineEnd + kLineEnd;
}

Ending Deliver(SocketHandle fd, const Delivery& delivery, const StopSignal& stop) {
    if (delivery.delay.count() > 0 && !stop.Sleep(delivery.delay)) return Ending::Graceful;
    switch (delivery.wire) {
    case Wire::Normal: return SendWithLength(fd, delivery);
    case Wire::Close: return Ending::Graceful;
    case Wire::Reset: return Ending::Reset;
    case Wire::Hang: HoldOpen(fd, delivery.hold, stop); return Ending::Graceful;
    case Wire::Stall: return SendStall(fd, delivery, stop);
    case Wire::Trickle: return SendTrickle(fd, delivery, stop);
    case Wire::Cut: return SendCut(fd, delivery);
    case Wire::BadChunk: return SendBadChunk(fd, delivery);
    }
    return Ending::Graceful;
}

}  // namespace service
