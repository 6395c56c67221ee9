#pragma once
// One quote as a market-data source gave it, and how a source answered.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace service {

// A point of the day's intraday series.
struct PricePoint {
    std::int64_t time = 0;  // epoch seconds
    double price = 0;
};

// Prices are in the source's own unit (pence for London on the chart API).
// A field the source did not give stays empty and is answered "N/A".
struct LiveQuote {
    std::string symbol;  // as the bar asked for it
    std::optional<double> last;
    std::optional<double> change;  // as the source states it; used without a previous close
    std::optional<double> open;
    std::optional<double> low;
    std::optional<double> high;
    std::optional<double> previousClose;
    std::optional<std::int64_t> volume;
    std::optional<std::int64_t> time;          // epoch seconds of the last price
    std::optional<int> utcOffsetSeconds;       // of the exchange, at that time
    std::string timeZoneName;                  // "America/New_York"; empty when unknown
    std::string currency;                      // "USD", "GBp"; empty when unknown
    std::vector<PricePoint> series;            // oldest first; empty when the source has none
    std::string source;                        // the name of the source that gave it ("chart")
};

enum class AnswerKind {
    Quote,         // a quote with a price
    Unknown,       // the source does not know the symbol
    Limited,       // the source refused for its rate limit (429)
    Refused,       // the key was refused (401, 403) or the plan does not cover the symbol
    Failed,        // no answer, an error status, a transport failure
    NotTheFormat,  // an answer, but not the documented format (an HTML page, say)
};

const char* AnswerKindName(AnswerKind kind);

struct SourceAnswer {
    AnswerKind kind = AnswerKind::Failed;
    std::optional<LiveQuote> quote;           // with Quote only
    std::string reason;                       // short, for /status and --check; never holds a key
    std::optional<std::string> retryAfter;    // with Limited: the Retry-After header as sent
};

}  // namespace service
