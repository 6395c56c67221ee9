#include "quotes/exchange_list.h"

#include "quotes/text.h"

namespace quotes {

bool ReadExchangeList(const std::string& body, ExchangeMap& exchanges) {
    bool taken = false;
    // The text after the last line feed is a line too.
    for (std::string::size_type start = 0; start < body.size();) {
        std::string::size_type end = body.find('\n', start);
        if (end == std::string::npos) end = body.size();
        const std::string line = body.substr(start, end - start);
        start = end + 1;
        const std::string::size_type comma = line.find(',');
        if (comma == std::string::npos) continue;  // also skips empty lines
        exchanges[Trim(line.substr(0, comma))] = Trim(line.substr(comma + 1));
        taken = true;
    }
    return taken;
}

}  // namespace quotes
