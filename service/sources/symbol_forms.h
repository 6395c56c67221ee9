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

// "BRK.B" or "BRK-B": a share of class A or B of a US company (a root of
// letters, then one class letter; no exchange suffix is a lone A or B), as
// its root and class; nullopt for anything else. Sources write the class
// their own way: "BRK-B" on the chart API and Finnhub, "BRK.B" on Twelve Data.
std::optional<std::pair<std::string, char>> ClassShare(const std::string& symbol);
// The symbol in one source's form: a class share with that separator, any
// other symbol as it is.
std::string WithClassSeparator(const std::string& symbol, char separator);

// "EURUSD=X": a currency pair as the chart API writes it; the pair's two
// codes, or nullopt for anything else.
std::optional<std::pair<std::string, std::string>> CurrencyPair(const std::string& symbol);

}  // namespace service
