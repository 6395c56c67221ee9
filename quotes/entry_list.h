#pragma once
// The entry-list syntax shared by the symbol list and the server message:
// comma-separated entries, each a label with an optional link in angle
// brackets, and how a symbol finds its quote source.
#include <map>
#include <string>
#include <vector>

namespace quotes {

using ExchangeMap = std::map<std::string, std::string>;

// The entries of a list: split at every ',', trimmed, empty ones dropped.
std::vector<std::string> SplitEntries(const std::string& list);
// The entries joined by ", ".
std::string JoinEntries(const std::vector<std::string>& entries);

struct ParsedEntry {
    std::string label;
    std::string linkUrl;  // empty unless the entry carries a link
};

// "Label<link>tail" gives "Label" and the link, "http://" put in front of a
// link without "://"; anything else is a plain label.
ParsedEntry ParseEntry(const std::string& entry);

// The per-symbol quote address, or "" when the item gets none (no source,
// or a label with a space).
std::string SymbolQuoteAddress(const std::string& source, const std::string& label);

// The text after the last '.', when that '.' is not the first character.
std::string ExchangeSuffix(const std::string& symbol);

// The quote source for a symbol: its suffix's entry, else the map's
// default (empty key), else the default quote service address.
std::string QuoteSourceFor(const ExchangeMap& exchanges, const std::string& symbol);

// The default quote source: the quote service's CSV address.
std::string DefaultQuoteSource();

}  // namespace quotes
