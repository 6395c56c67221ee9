#pragma once
// The driver every source parser's fuzz target shares: the first byte picks
// the status the answer came with, the rest is its body. Whatever the body,
// a quote has plausible prices, none of another symbol's answer, and its
// legacy line stays one short line of the columns asked for.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "service/simulated/quote_csv.h"
#include "service/sources/answer_checks.h"
#include "service/sources/live_csv.h"
#include "service/sources/live_quote.h"
#include "service/sources/upstream_client.h"

namespace fuzz_support {

constexpr long kStatuses[] = {200, 200, 200, 404, 429, 401, 403, 500};
// Nine columns of plausible prices, a volume, a time and the symbol.
constexpr std::size_t kMaxLineBytes = 300;

inline void Require(bool condition) {
    if (!condition) std::abort();
}

template <typename Parse>
int FuzzSourceAnswer(Parse parse, const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    service::UpstreamResponse response;
    response.transfer = service::Transfer::Complete;
    response.status = kStatuses[data[0] % std::size(kStatuses)];
    response.body.assign(reinterpret_cast<const char*>(data) + 1, size - 1);
    const service::SourceAnswer answer = parse(response, "IBM");
    Require(answer.quote.has_value() == (answer.kind == service::AnswerKind::Quote));
    if (!answer.quote) return 0;
    const service::LiveQuote& quote = *answer.quote;
    Require(quote.last && service::IsPlausiblePrice(*quote.last));
    for (const auto& price : {quote.open, quote.low, quote.high, quote.previousClose}) {
        Require(!price || service::IsPlausiblePrice(*price));
    }
    const auto columns = service::ParseQuoteFormat(service::kOpeningQuoteFormat);
    const std::string line = service::LiveCsvLine(columns, "IBM", answer.quote);
    std::size_t commas = 0;
    for (std::size_t i = 0; i + 2 < line.size(); ++i) {
        Require(line[i] != '\r' && line[i] != '\n');
        commas += line[i] == ',';
    }
    Require(commas == columns.size() - 1);
    Require(line.size() <= kMaxLineBytes);
    Require(line.size() >= 2 && line.compare(line.size() - 2, 2, "\r\n") == 0);
    return 0;
}

}  // namespace fuzz_support
