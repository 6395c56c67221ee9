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

// A quote without a positive price is no quote: a source that does not know
// a symbol may answer zeros, and a zero price must never reach the bar.
SourceAnswer Accept(LiveQuote quote);

}  // namespace service
