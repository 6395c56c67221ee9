#pragma once
// The home site's exchange list: lines of "suffix,address" telling which
// quote source serves the symbols of an exchange.
#include <string>

#include "quotes/entry_list.h"

namespace quotes {

// Adds every usable line of `body` to `exchanges`: lines split at line
// feeds (a last line without one counts), a line without ',' or empty is
// skipped, key and value are trimmed, the value may hold further commas, a
// later line wins over an earlier one with the same key. Returns whether
// any line was taken.
bool ReadExchangeList(const std::string& body, ExchangeMap& exchanges);

}  // namespace quotes
