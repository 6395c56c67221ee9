#include "service/pages/detail_address.h"

#include <cstring>

#include "service/sources/source_adapters.h"
#include "service/sources/symbol_forms.h"

namespace service {

namespace {

bool IsPrintableWithoutSpace(const std::string& text) {
    for (const char c : text) {
        if (c <= ' ' || c >= '\x7F') return false;
    }
    return true;
}

}  // namespace

bool IsDetailTemplate(const std::string& text) {
    bool schemeKnown = false;
    for (const char* scheme : {"http://", "https://"}) {
        const std::size_t length = std::strlen(scheme);
        schemeKnown = schemeKnown || (text.compare(0, length, scheme) == 0 && text.size() > length);
    }
    return schemeKnown && IsPrintableWithoutSpace(text) && text.find(kSymbolPlaceholder) != std::string::npos;
}

std::string SourceSymbolForm(const std::string& sourceName, const std::string& symbol) {
    const SourceAdapter* adapter = FindSourceAdapter(sourceName);
    return adapter != nullptr ? adapter->symbolForm(symbol) : symbol;
}

std::string DetailAddress(const std::string& pattern, const std::string& symbolForm) {
    const std::string placeholder = kSymbolPlaceholder;
    const std::string escaped = EscapeQueryValue(symbolForm);
    std::string address;
    std::size_t start = 0;
    for (std::size_t found = pattern.find(placeholder); found != std::string::npos;
         found = pattern.find(placeholder, start)) {
        address += pattern.substr(start, found - start) + escaped;
        start = found + placeholder.size();
    }
    return address + pattern.substr(start);
}

}  // namespace service
