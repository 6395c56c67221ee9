#pragma once
// The bar's only HTTP client operation: GET one "http://" address and
// return its body as text. It never fails towards its caller; a download
// that cannot be made yields kDownloadErrorText, which every caller treats
// as ordinary content.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/internet.h"

namespace quotes {

inline constexpr char kDownloadErrorText[] = "Velmoria Error";

// The most text a download keeps. A quote line is a few dozen bytes and the
// server message and exchange list a few hundred; the bound is far above
// them all, and far below what would exhaust a 32-bit process.
inline constexpr std::size_t kMostBodyBytes = 4 * 1024 * 1024;

// How long a download may go on: the receive time-out ends only silence,
// and a server that sends a byte now and then would otherwise hold a
// download, and the pass waiting for it, for ever. Two minutes is far
// beyond any answer a working server gives.
inline constexpr std::uint32_t kDownloadDeadlineMs = 2 * 60 * 1000;

struct DownloadLimits {
    // Windows' own defaults, set explicitly so every WinINet behaves alike.
    std::uint32_t connectTimeoutMs = platform::kWindowsConnectTimeoutMs;
    std::uint32_t receiveTimeoutMs = platform::kWindowsReceiveTimeoutMs;
    std::size_t mostBodyBytes = kMostBodyBytes;
    // From the start of the download. No connection is begun and no read is
    // made past it, and each request is given what is left of it, which the
    // HTTP client enforces however the server answers (headers trickled,
    // interim answers without end, a body trickled): the download ends
    // within it.
    std::uint32_t deadlineMs = kDownloadDeadlineMs;
};

// The body with every carriage return removed; kDownloadErrorText when no
// request could be sent or no final answer came, a redirect leading to
// neither included (after at most ten of them, and none begun past the
// deadline); the part of the body read before a failed read or before the
// deadline; the first limits.mostBodyBytes of a longer body.
// Nothing is thrown: a failure to allocate ends the download like a failed
// read. Keeps no state, so calls on different threads do not meet.
std::string HttpGetText(platform::Internet& internet, const std::string& url,
                        const DownloadLimits& limits = DownloadLimits()) noexcept;

}  // namespace quotes
