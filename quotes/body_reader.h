#pragma once
// A response body handed out in the pieces the download appends: the bytes
// up to and including the next line feed, never more than capacity - 1 of
// them, carriage returns left out, followed by a zero byte. The bytes are
// pulled from InternetReadFile up to a block at a time, so a long body costs
// few platform calls whatever the pieces look like; each read asks only for
// what has come, so a body that trickles in never holds one read for long.
#include <array>
#include <cstddef>

#include "platform/internet.h"
#include "quotes/download_deadline.h"

namespace quotes {

class BodyReader {
public:
    // Past the deadline no read is made: the body ends there as at a failed
    // read.
    BodyReader(platform::Internet& internet, platform::InternetHandle request,
               DownloadDeadline deadline = DownloadDeadline());
    BodyReader(const BodyReader&) = delete;
    BodyReader& operator=(const BodyReader&) = delete;

    // Fills buffer (capacity >= 1) with the next piece and its terminating
    // zero. Returns how many bytes of the body the piece took, carriage
    // returns and zero bytes included: 0 once the body has ended, or when a
    // read failed before the piece took anything.
    std::size_t ReadPiece(char* buffer, std::size_t capacity);
    // A read failed, or threw, or the deadline passed. The piece returned
    // last stops where the failure came (after any bytes the failing read
    // still handed over) and no further piece follows.
    bool failed() const { return failed_; }

private:
    static constexpr std::size_t kBlockSize = 4096;

    // False at the end of the body or on a failed read.
    bool Refill();

    platform::Internet& internet_;
    platform::InternetHandle request_;
    DownloadDeadline deadline_;
    std::array<char, kBlockSize> block_{};
    std::size_t next_ = 0;
    std::size_t end_ = 0;
    bool ended_ = false;
    bool failed_ = false;
    bool failsAfterBlock_ = false;  // the block came from a read that failed
};

}  // namespace quotes
