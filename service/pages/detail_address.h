#pragma once
// The address a click on a quoted item opens when the user prefers another
// detail page (a broker's, a portal's) to ours: a template in which
// "{symbol}" stands for the symbol in the source's own form.
#include <string>

namespace service {

const char* const kSymbolPlaceholder = "{symbol}";

// An http:// or https:// address holding "{symbol}", of printable ASCII
// without spaces, so that it can go into a Location header as it is.
bool IsDetailTemplate(const std::string& text);

// The symbol as the named source writes it ("BRK-B" on the chart API,
// "EUR/USD" on Twelve Data); as the bar writes it for any other name.
std::string SourceSymbolForm(const std::string& sourceName, const std::string& symbol);

// The template with every "{symbol}" replaced by the form, percent-escaped.
std::string DetailAddress(const std::string& pattern, const std::string& symbolForm);

}  // namespace service
