#pragma once
// The pages a click on a ticker item opens.
#include <optional>
#include <string>

#include "service/simulated/quote_model.h"

namespace service {

// The ticker's version and banner parameters, shown in the page's footnote.
struct Requester {
    std::string version;
    std::string banner;
};

// "Requested by Velmoria v5.6, banner 21." in small print; "" without either.
std::string RequesterFootnote(const Requester& requester);

// A symbol's current quote with a chart of its recent prices; without a
// quote, a page saying that none is available.
std::string QuoteDetailPage(const std::string& symbol, const std::optional<Quote>& quote, const Requester& requester);

// Shows the address and links it, when it is a web address.
std::string LinkDetailPage(const std::string& address, const Requester& requester);

// Neither a symbol nor an address was given.
std::string EmptyDetailPage();

}  // namespace service
