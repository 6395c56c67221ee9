#include "quotes/entry_list.h"

#include "quotes/endpoints.h"
#include "quotes/text.h"

namespace quotes {

namespace {

constexpr const char* kSchemeSeparator = "://";
constexpr const char* kDefaultScheme = "http://";
constexpr const char* kQuotePath = "/d/quotes.csv?f=sl1t1c1ghpv";

const std::string* NonEmptyEntry(const ExchangeMap& exchanges, const std::string& key) {
    const auto found = exchanges.find(key);
    return found == exchanges.end() || found->second.empty() ? nullptr : &found->second;
}

}  // namespace

std::vector<std::string> SplitEntries(const std::string& list) {
    std::vector<std::string> entries;
    std::size_t begin = 0;
    while (true) {
        const std::size_t comma = list.find(',', begin);
        const std::size_t end = comma == std::string::npos ? list.size() : comma;
        std::string entry = Trim(list.substr(begin, end - begin));
        if (!entry.empty()) entries.push_back(std::move(entry));
        if (comma == std::string::npos) break;
        begin = comma + 1;
    }
    return entries;
}

std::string JoinEntries(const std::vector<std::string>& entries) {
    std::string joined;
    for (const std::string& entry : entries) {
        if (!joined.empty()) joined += ", ";
        joined += entry;
    }
    return joined;
}

ParsedEntry ParseEntry(const std::string& entry) {
    ParsedEntry parsed;
    parsed.label = entry;
    const std::size_t lt = entry.find('<');
    const std::size_t gt = entry.find('>');
    if (lt != std::string::npos && lt > 0 && gt != std::string::npos && gt > lt) {
        const std::string link = TrimLeft(entry.substr(lt + 1, gt - lt - 1));
        if (link.find(kSchemeSeparator) == std::string::npos) parsed.linkUrl = kDefaultScheme;
        parsed.linkUrl += link;
        parsed.label = entry.substr(0, lt);
    }
    parsed.label = Trim(parsed.label);
    parsed.linkUrl = Trim(parsed.linkUrl);
    return parsed;
}

std::string SymbolQuoteAddress(const std::string& source, const std::string& label) {
    if (source.empty() || label.find(' ') != std::string::npos) return {};
    std::string address = source;
    if (address.back() != '&') address += '&';
    address += "s=";
    address += UpperCase(label);
    return address;
}

std::string ExchangeSuffix(const std::string& symbol) {
    const std::size_t dot = symbol.rfind('.');
    if (dot == std::string::npos || dot == 0) return {};
    return symbol.substr(dot + 1);
}

std::string DefaultQuoteSource() { return QuoteService() + kQuotePath; }

std::string QuoteSourceFor(const ExchangeMap& exchanges, const std::string& symbol) {
    if (const std::string* source = NonEmptyEntry(exchanges, ExchangeSuffix(symbol))) return *source;
    if (const std::string* source = NonEmptyEntry(exchanges, "")) return *source;
    return DefaultQuoteSource();
}

}  // namespace quotes
