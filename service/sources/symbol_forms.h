#pragma once
// Symbols from a request on their way into an upstream address: only a
// plausible one goes, and only escaped.
#include <optional>
#include <string>

namespace service {

constexpr std::size_t kMaxPlausibleSymbolLength = 16;

// Upper-case letters, digits and . ^ - =, at most 16, beginning with a
// letter, a digit or one '^' (an index), as symbols are written on the bar
// ("IBM", "VOD.L", "^DJI", "EURUSD=X", "BRK-B").
bool IsPlausibleSymbol(const std::string& symbol);

// Every byte but the unreserved ones (letters, digits, - . _ ~) as %XX.
std::string EscapeQueryValue(const std::string& text);

// The exchange suffix after the last '.' ("L" for "VOD.L"); empty without one.
std::string ExchangeSuffix(const std::string& symbol);
std::string WithoutSuffix(const std::string& symbol);

// "EURUSD=X": a currency pair as the chart API writes it; the pair's two
// codes, or nullopt for anything else.
std::optional<std::pair<std::string, std::string>> CurrencyPair(const std::string& symbol);

}  // namespace service
