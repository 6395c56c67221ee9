#include "service/simulated/quote_model.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace service {

namespace {

constexpr std::int64_t kLowestBaseCents = 500;
constexpr std::int64_t kBaseSpanCents = 49500;
constexpr std::int64_t kLowestPriceCents = 1;
constexpr std::int64_t kBasisPointsPerWhole = 10000;
constexpr std::int64_t kOpeningGapBasisPoints = 100;  // open within 1% of the previous close
constexpr std::int64_t kStepBasisPoints = 150;        // each step moves at most 1.5%
constexpr std::int64_t kVolumeLot = 100;
constexpr std::int64_t kMaxLotsPerStep = 500;
constexpr int kMaxMinutesPerStep = 5;
constexpr int kTradingMinutes = 390;  // 9:30AM to 4:00PM
constexpr int kOpeningMinute = 9 * 60 + 30;
constexpr int kMinutesPerHour = 60;
constexpr int kNoonHour = 12;
constexpr const char* kUnlistedSymbol = "BOGUS";
constexpr const char* kSymbolPunctuation = ".^-=";

constexpr std::uint64_t kFnvOffset = 0xcbf29ce484222325ULL;
constexpr std::uint64_t kFnvPrime = 0x100000001b3ULL;

std::uint64_t HashBytes(const std::string& text) {
    std::uint64_t hash = kFnvOffset;
    for (const unsigned char c : text) {
        hash ^= c;
        hash *= kFnvPrime;
    }
    return hash;
}

// Spreads nearby seeds far apart, so seeds 1 and 2 give unrelated walks.
std::uint64_t Mix(std::uint64_t value) {
    value += 0x9e3779b97f4a7c15ULL;
    value = (value ^ (value >> 30)) * 0xbf58476d1ce4e5b9ULL;
    value = (value ^ (value >> 27)) * 0x94d049bb133111ebULL;
    return value ^ (value >> 31);
}

// Inclusive range; the engine's output is fixed by the standard, and so is this.
std::int64_t Draw(std::mt19937_64& random, std::int64_t low, std::int64_t high) {
    const auto span = static_cast<std::uint64_t>(high - low + 1);
    return low + static_cast<std::int64_t>(random() % span);
}

std::int64_t MoveByBasisPoints(std::int64_t cents, std::int64_t basisPoints) {
    std::int64_t delta = cents * basisPoints / kBasisPointsPerWhole;
    if (delta == 0 && basisPoints != 0) delta = basisPoints > 0 ? 1 : -1;
    return std::max(kLowestPriceCents, cents + delta);
}

void Remember(Quote& quote) {
    quote.recentCents.push_back(quote.lastCents);
    if (quote.recentCents.size() > kRecentPriceCount) quote.recentCents.erase(quote.recentCents.begin());
}

}  // namespace

std::string UpperCase(const std::string& text) {
    std::string upper = text;
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return upper;
}

bool IsKnownSymbol(const std::string& symbol) {
    if (symbol.empty() || symbol.size() > kMaxSymbolLength) return false;
    if (symbol == kUnlistedSymbol || symbol.rfind(std::string(kUnlistedSymbol) + ".", 0) == 0) return false;
    return std::all_of(symbol.begin(), symbol.end(), [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               std::string(kSymbolPunctuation).find(c) != std::string::npos;
    });
}

std::int64_t BasePriceCents(const std::string& symbol) {
    return kLowestBaseCents + static_cast<std::int64_t>(HashBytes(symbol) % kBaseSpanCents);
}

std::string TradeTimeText(int minutesSinceOpen) {
    const int clock = kOpeningMinute + std::clamp(minutesSinceOpen, 0, kTradingMinutes);
    const int hour24 = clock / kMinutesPerHour;
    const int minute = clock % kMinutesPerHour;
    const int hour12 = hour24 > kNoonHour ? hour24 - kNoonHour : hour24;
    char text[16];
    std::snprintf(text, sizeof text, "%d:%02d%s", hour12, minute, hour24 >= kNoonHour ? "PM" : "AM");
    return text;
}

QuoteModel::QuoteModel(std::uint64_t seed) : seed_(seed) {}

std::optional<Quote> QuoteModel::Next(const std::string& symbol) {
    const std::string upper = UpperCase(symbol);
    if (!IsKnownSymbol(upper)) return std::nullopt;
    std::lock_guard<std::mutex> lock(mutex_);
    Walk& walk = WalkFor(upper);
    Quote& quote = walk.quote;
    quote.lastCents = MoveByBasisPoints(quote.lastCents, Draw(walk.random, -kStepBasisPoints, kStepBasisPoints));
    quote.lowCents = std::min(quote.lowCents, quote.lastCents);
    quote.highCents = std::max(quote.highCents, quote.lastCents);
    quote.volume += kVolumeLot * Draw(walk.random, 1, kMaxLotsPerStep);
    quote.minutesSinceOpen =
        std::min(kTradingMinutes, quote.minutesSinceOpen + static_cast<int>(Draw(walk.random, 1, kMaxMinutesPerStep)));
    Remember(quote);
    return quote;
}

std::optional<Quote> QuoteModel::Current(const std::string& symbol) {
    const std::string upper = UpperCase(symbol);
    if (!IsKnownSymbol(upper)) return std::nullopt;
    std::lock_guard<std::mutex> lock(mutex_);
    return WalkFor(upper).quote;
}

void QuoteModel::Restart(std::uint64_t seed) {
    std::lock_guard<std::mutex> lock(mutex_);
    seed_ = seed;
    walks_.clear();
    walkOfSymbol_.clear();
}

std::size_t QuoteModel::RememberedSymbols() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return walks_.size();
}

QuoteModel::Walk& QuoteModel::WalkFor(const std::string& symbol) {
    const auto found = walkOfSymbol_.find(symbol);
    if (found != walkOfSymbol_.end()) {
        walks_.splice(walks_.begin(), walks_, found->second);
        return walks_.front();
    }
    if (walks_.size() >= kMaxRememberedSymbols) {
        walkOfSymbol_.erase(walks_.back().quote.symbol);
        walks_.pop_back();
    }
    walks_.push_front(StartWalk(symbol));
    walkOfSymbol_.emplace(symbol, walks_.begin());
    return walks_.front();
}

// The state before the first trade of the day: the walk starts at the open.
QuoteModel::Walk QuoteModel::StartWalk(const std::string& symbol) const {
    Walk walk{Quote{}, std::mt19937_64(Mix(seed_ ^ Mix(HashBytes(symbol))))};
    Quote& quote = walk.quote;
    quote.symbol = symbol;
    quote.prevCloseCents = BasePriceCents(symbol);
    quote.openCents =
        MoveByBasisPoints(quote.prevCloseCents, Draw(walk.random, -kOpeningGapBasisPoints, kOpeningGapBasisPoints));
    quote.lastCents = quote.openCents;
    quote.lowCents = quote.openCents;
    quote.highCents = quote.openCents;
    Remember(quote);
    return walk;
}

}  // namespace service
