#include "service/http/delivery.h"

#include <algorithm>

#include "service/http/error_pages.h"

namespace service {

namespace {

constexpr std::uint64_t kDefaultErrorStatus = 500;
constexpr std::uint64_t kDefaultDelayMs = 2000;
constexpr std::uint64_t kDefaultHoldMs = 10 * 60 * 1000;
constexpr std::uint64_t kDefaultOversizedBytes = 10 * 1024 * 1024;
constexpr std::uint64_t kDefaultBigMegabytes = 64;
constexpr std::uint64_t kBytesPerMegabyte = 1024 * 1024;
constexpr std::uint64_t kDefaultTrickleBytesPerSecond = 10;
const char* const kLocation = "Location";

Reply ErrorReply(int status) { return {status, kHtmlType, ErrorPage(status)}; }

Reply RedirectReply(const std::string& location) {
    return {kStatusFound, kHtmlType, MovedPage(location), {{kLocation, location}}};
}

std::size_t OffsetOr(const Fault& fault, std::size_t fallback, std::size_t limit) {
    if (!fault.arg) return fallback;
    return static_cast<std::size_t>(std::min<std::uint64_t>(*fault.arg, limit));
}

std::chrono::milliseconds Milliseconds(const Fault& fault, std::uint64_t fallback) {
    return std::chrono::milliseconds(fault.arg.value_or(fallback));
}

}  // namespace

Delivery ApplyFault(const Fault& fault, Reply reply, const Redirects& redirects) {
    Delivery delivery;
    switch (fault.mode) {
    case FaultMode::None: break;
    case FaultMode::Status: reply = ErrorReply(static_cast<int>(fault.arg.value_or(kDefaultErrorStatus))); break;
    case FaultMode::Empty:
        reply.status = kStatusOk;
        reply.body.clear();
        break;
    case FaultMode::Truncate:
        delivery.dropAfter = OffsetOr(fault, MiddleOfLastLine(reply.body), reply.body.size());
        break;
    case FaultMode::Slow: delivery.delay = Milliseconds(fault, kDefaultDelayMs); break;
    case FaultMode::CrLf: reply.body = WithLineEnds(reply.body, "\r\n"); break;
    case FaultMode::Lf: reply.body = WithLineEnds(reply.body, "\n"); break;
    case FaultMode::Zero: {
        const std::size_t at = OffsetOr(fault, MiddleOfLastLine(reply.body), reply.body.size());
        reply.body.insert(at, 1, '\0');
        break;
    }
    case FaultMode::Oversized:
        if (reply.body.empty()) reply.body = FillerQuoteLine();
        delivery.repeatTo = fault.arg.value_or(kDefaultOversizedBytes);
        break;
    case FaultMode::Close: delivery.wire = Wire::Close; break;
    case FaultMode::Reset: delivery.wire = Wire::Reset; break;
    case FaultMode::Hang:
        delivery.wire = Wire::Hang;
        delivery.hold = Milliseconds(fault, kDefaultHoldMs);
        break;
    case FaultMode::Stall:
        delivery.wire = Wire::Stall;
        delivery.hold = Milliseconds(fault, kDefaultHoldMs);
        break;
    case FaultMode::Trickle:
        delivery.wire = Wire::Trickle;
        delivery.bytesPerSecond = fault.arg.value_or(kDefaultTrickleBytesPerSecond);
        break;
    case FaultMode::Cut:
        delivery.wire = Wire::Cut;
        delivery.dropAfter = OffsetOr(fault, MiddleOfLastLine(reply.body), reply.body.size());
        break;
    case FaultMode::BadChunk:
        delivery.wire = Wire::BadChunk;
        delivery.dropAfter = OffsetOr(fault, MiddleOfLastLine(reply.body), reply.body.size());
        break;
    case FaultMode::RedirectLoop: reply = RedirectReply(redirects.self); break;
    case FaultMode::RedirectHttps: reply = RedirectReply(redirects.https); break;
    case FaultMode::RedirectDead: reply = RedirectReply(redirects.dead); break;
    case FaultMode::Html500: reply = {kStatusServerError, kHtmlType, ServerErrorSitePage()}; break;
    case FaultMode::Big:
        // One line, sent over and over: the body is never all in memory.
        reply = {kStatusOk, kCsvType, FillerQuoteLine()};
        delivery.repeatTo = fault.arg.value_or(kDefaultBigMegabytes) * kBytesPerMegabyte;
        break;
    }
    delivery.reply = std::move(reply);
    return delivery;
}

std::size_t MiddleOfLastLine(const std::string& body) {
    std::size_t end = body.size();
    while (end > 0 && (body[end - 1] == '\n' || body[end - 1] == '\r')) --end;
    const std::size_t lineFeed = body.rfind('\n', end == 0 ? 0 : end - 1);
    const std::size_t start = (lineFeed == std::string::npos || end == 0) ? 0 : lineFeed + 1;
    return start + (end - start) / 2;
}

std::string WithLineEnds(const std::string& body, const std::string& lineEnd) {
    std::string result;
    result.reserve(body.size() + body.size() / 16);
    for (std::size_t i = 0; i < body.size(); ++i) {
        if (body[i] == '\r' && i + 1 < body.size() && body[i + 1] == '\n') continue;
        if (body[i] == '\n') {
            result += lineEnd;
        } else {
            result.push_back(body[i]);
        }
    }
    return result;
}

const std::string& FillerQuoteLine() {
    static const std::string kFiller = "\"VLM\",1.00,\"4:00PM\",0.00,1.00,1.00,1.00,100\r\n";
    return kFiller;
}

}  // namespace service
