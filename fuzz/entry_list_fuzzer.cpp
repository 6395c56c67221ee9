// The entry-list syntax of the symbol list and the server message: a list
// split into entries, each parsed into label and link, and each label's
// quote source and address, with an exchange map read from the input too.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "quotes/entry_list.h"
#include "quotes/exchange_list.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    quotes::ExchangeMap exchanges;
    quotes::ReadExchangeList(input.ConsumeRandomLengthString(), exchanges);
    const std::string list = input.ConsumeRemainingBytesAsString();

    const std::vector<std::string> entries = quotes::SplitEntries(list);
    for (const std::string& entry : entries) {
        if (entry.empty() || entry.find(',') != std::string::npos) std::abort();
        const quotes::ParsedEntry parsed = quotes::ParseEntry(entry);
        const std::string source = quotes::QuoteSourceFor(exchanges, parsed.label);
        const std::string address = quotes::SymbolQuoteAddress(source, parsed.label);
        if (!address.empty() && address.compare(0, source.size(), source) != 0) std::abort();
    }
    // Joined and split again, the entries come back as they were.
    if (quotes::SplitEntries(quotes::JoinEntries(entries)) != entries) std::abort();
    return 0;
}
