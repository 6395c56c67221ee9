#pragma once
// What every source's answer is checked for before its own format.
#include <optional>
#include <string>

#include "service/sources/live_quote.h"
#include "service/sources/upstream_client.h"

namespace service {

constexpr long kHttpOk = 200;
constexpr long kHttpUnauthorized = 401;
constexpr long kHttpForbidden = 403;
constexpr long kHttpNotFound = 404;
constexpr long kHttpTooManyRequests = 429;

SourceAnswer Answer(AnswerKind kind, std::string reason);

// No answer at all, a limit (429), a refused key (401, 403): the answer to
// give, or nullopt when the body is worth reading.
std::optional<SourceAnswer> TransferOrLimitProblem(const UpstreamResponse& response);

// Any other status than 200, for a body that did not explain itself.
SourceAnswer StatusProblem(const UpstreamResponse& response);

// No price of anything, in any currency or unit, lies outside these: a
// number beyond them is a fault of the answer, never a price to serve.
constexpr double kMinPlausiblePrice = 1e-12;
constexpr double kMaxPlausiblePrice = 1e12;

bool IsPlausiblePrice(double price);

// A quote without a positive price is no quote: a source that does not know
// a symbol may answer zeros, and a zero price must never reach the bar. A
// price beyond plausibility makes the answer malformed; a zero among the
// day's other prices is a price not given.
SourceAnswer Accept(LiveQuote quote);

// Whether the symbol a source names in its answer is the one asked for, in
// the source's own form, in any case; an answer that names none is taken.
bool AnswersFor(const std::optional<std::string>& answered, const std::string& asked);

SourceAnswer AnswerForAnotherSymbol();

}  // namespace service
