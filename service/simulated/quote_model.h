#pragma once
// Made-up but plausible quotes: every symbol the service knows starts from a
// price derived from its own bytes and then follows a random walk, one step
// per quote request. The walk of a symbol depends only on the seed and on how
// often that symbol was asked for, so a fixed seed replays the same answers.
#include <cstdint>
#include <list>
#include <mutex>
#include <optional>
#include <random>
#include <string>
#include <unordered_map>
#include <vector>

namespace service {

// Prices are whole cents, so that a walk comes out the same on every machine.
struct Quote {
    std::string symbol;
    std::int64_t lastCents = 0;
    std::int64_t openCents = 0;
    std::int64_t prevCloseCents = 0;
    std::int64_t lowCents = 0;
    std::int64_t highCents = 0;
    std::int64_t volume = 0;
    int minutesSinceOpen = 0;               // trading minutes after 9:30AM
    std::vector<std::int64_t> recentCents;  // oldest first; ends with lastCents
};

constexpr std::size_t kMaxSymbolLength = 10;
// Kept for the detail page's chart.
constexpr std::size_t kRecentPriceCount = 60;
// Walks remembered at once (a walk takes about 3 KB); beyond that the one
// asked for least recently is forgotten, and starts afresh if asked again.
constexpr std::size_t kMaxRememberedSymbols = 4096;

std::string UpperCase(const std::string& text);

// Letters, digits and . ^ - =, at most ten of them, and never "BOGUS" on any
// exchange ("BOGUS", "BOGUS.L"), which tests use as the symbol nobody lists.
// Expects upper case.
bool IsKnownSymbol(const std::string& symbol);

// Between 5.00 and 499.99, fixed for a symbol whatever the seed.
std::int64_t BasePriceCents(const std::string& symbol);

// "9:30AM" ... "4:00PM".
std::string TradeTimeText(int minutesSinceOpen);

class QuoteModel {
public:
    explicit QuoteModel(std::uint64_t seed);

    // Moves the symbol's walk one step and returns the new quote; nullopt for
    // a symbol that IsKnownSymbol refuses. The symbol is taken in upper case.
    std::optional<Quote> Next(const std::string& symbol);
    // The symbol's quote as last given out, without moving the walk.
    std::optional<Quote> Current(const std::string& symbol);
    // Forgets every walk; they start again from the given seed.
    void Restart(std::uint64_t seed);
    // How many walks are remembered now.
    std::size_t RememberedSymbols() const;

private:
    struct Walk {
        Quote quote;
        std::mt19937_64 random;
    };

    // Called with mutex_ held; makes the symbol the most recently used.
    Walk& WalkFor(const std::string& symbol);
    Walk StartWalk(const std::string& symbol) const;

    mutable std::mutex mutex_;
    std::uint64_t seed_;
    std::list<Walk> walks_;  // most recently used first
    std::unordered_map<std::string, std::list<Walk>::iterator> walkOfSymbol_;
};

}  // namespace service
