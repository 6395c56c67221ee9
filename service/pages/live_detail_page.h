#pragma once
// The detail page of a symbol in live mode: the source's quote and the
// day's chart, or a page saying no quote is available.
#include <optional>
#include <string>

#include "service/pages/detail_pages.h"
#include "service/sources/live_quote.h"

namespace service {

std::string LiveDetailPage(const std::string& symbol, const std::optional<LiveQuote>& quote,
                           const Requester& requester);

}  // namespace service
