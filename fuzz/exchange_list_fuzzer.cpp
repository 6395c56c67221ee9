// The home site's exchange list through its reader, with the reader's own
// promises checked: it reports a taken line exactly when some line holds a
// ',', and no key or value keeps a line feed or outer white space.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "quotes/exchange_list.h"
#include "quotes/text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string body(reinterpret_cast<const char*>(data), size);
    quotes::ExchangeMap exchanges;
    const bool taken = quotes::ReadExchangeList(body, exchanges);
    if (taken != (body.find(',') != std::string::npos)) std::abort();
    for (const auto& [key, value] : exchanges) {
        if (key.find('\n') != std::string::npos || value.find('\n') != std::string::npos) std::abort();
        if (key != quotes::Trim(key) || value != quotes::Trim(value)) std::abort();
    }
    return 0;
}
