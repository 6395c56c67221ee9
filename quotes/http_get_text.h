#pragma once
// The bar's only HTTP client operation: GET one "http://" address and
// return its body as text. It never fails towards its caller; a download
// that cannot be made yields kDownloadErrorText, which every caller treats
// as ordinary content.
#include <string>

#include "platform/internet.h"

namespace quotes {

inline constexpr char kDownloadErrorText[] = "Velmoria Error";

// The body with every carriage return removed; kDownloadErrorText when no
// request could be sent; the part of the body read before a failed read.
// Keeps no state, so calls on different threads do not meet.
std::string HttpGetText(platform::Internet& internet, const std::string& url);

}  // namespace quotes
