// The quote service's answer through the quote-line parser. The first byte
// picks the source: one whose first line is a header ("uk") or not.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "quotes/quote_line.h"

namespace {

const std::string kQuoteSource = "http://127.0.0.1:8642/d/quotes.csv?f=sl1t1c1ghpv";
const std::string kHeaderSource = "http://127.0.0.1:8642/uk/quotes.csv?f=sl1t1c1ghpvo";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::string& source = (data[0] & 1) != 0 ? kHeaderSource : kQuoteSource;
    const std::string_view body(reinterpret_cast<const char*>(data) + 1, size - 1);
    quotes::QuoteFields fields;
    fields.label = "ibm";
    quotes::ApplyQuoteLine(source, body, fields);
    return 0;
}
