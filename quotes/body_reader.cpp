#include "quotes/body_reader.h"

#include <algorithm>

namespace quotes {

namespace {

constexpr char kCarriageReturn = '\r';
constexpr char kLineFeed = '\n';
// Asked for when nothing more has come: at the end of the body, a read of
// one byte finds the end at once.
constexpr std::uint32_t kSmallestRead = 1;

}  // namespace

BodyReader::BodyReader(platform::Internet& internet, platform::InternetHandle request, DownloadDeadline deadline)
    : internet_(internet), request_(request), deadline_(deadline) {}

bool BodyReader::Refill() {
    if (ended_ || failed_) return false;
    if (failsAfterBlock_ || deadline_.Passed()) {
        failed_ = true;
        return false;
    }
    std::uint32_t read = 0;
    bool ok = false;
    try {
        // A read of more than has come would wait for the rest, however
        // slowly it trickles in; the wait for the first byte is bounded by
        // the receive time-out.
        std::uint32_t available = 0;
        if (!internet_.QueryDataAvailable(request_, available)) {
            failed_ = true;
            return false;
        }
        const std::uint32_t wanted =
            std::clamp<std::uint32_t>(available, kSmallestRead, static_cast<std::uint32_t>(block_.size()));
        ok = internet_.ReadFile(request_, block_.data(), wanted, read);
    } catch (...) {
        // The platform ran out of memory: the piece so far stays, as after a failed read.
    }
    // A count beyond the block would be a broken platform: treated as a failed read.
    if (read > block_.size()) {
        failed_ = true;
        return false;
    }
    if (!ok) {
        // A read that gives up part way (a time-out) may still hand over
        // what arrived before: that is kept, and the failure comes after it.
        if (read == 0) {
            failed_ = true;
            return false;
        }
        failsAfterBlock_ = true;
    }
    if (read == 0) {
        ended_ = true;
        return false;
    }
    next_ = 0;
    end_ = read;
    return true;
}

std::size_t BodyReader::ReadPiece(char* buffer, std::size_t capacity) {
    std::size_t taken = 0;
    std::size_t stored = 0;
    while (taken + 1 < capacity) {
        if (next_ == end_ && !Refill()) break;
        const char byte = block_[next_++];
        ++taken;
        if (byte == kCarriageReturn) continue;
        buffer[stored++] = byte;
        if (byte == kLineFeed) break;
    }
    if (capacity > 0) buffer[stored] = '\0';
    return taken;
}

}  // namespace quotes
