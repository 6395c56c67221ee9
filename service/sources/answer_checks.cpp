#include "service/sources/answer_checks.h"

namespace service {

const char* AnswerKindName(AnswerKind kind) {
    switch (kind) {
    case AnswerKind::Quote: return "quote";
    case AnswerKind::Unknown: return "unknown symbol";
    case AnswerKind::Limited: return "limit";
    case AnswerKind::Refused: return "refused";
    case AnswerKind::Failed: return "error";
    case AnswerKind::NotTheFormat: return "not the format";
    }
    return "error";
}

SourceAnswer Answer(AnswerKind kind, std::string reason) {
    SourceAnswer answer;
    answer.kind = kind;
    answer.reason = std::move(reason);
    return answer;
}

std::optional<SourceAnswer> TransferOrLimitProblem(const UpstreamResponse& response) {
    if (response.transfer != Transfer::Complete) return Answer(AnswerKind::Failed, response.failure);
    if (response.status == kHttpTooManyRequests) {
        SourceAnswer answer = Answer(AnswerKind::Limited, "429 Too Many Requests");
        answer.retryAfter = response.retryAfter;
        return answer;
    }
    if (response.status == kHttpUnauthorized || response.status == kHttpForbidden) {
        return Answer(AnswerKind::Refused, "status " + std::to_string(response.status) + ": key or plan refused");
    }
    return std::nullopt;
}

SourceAnswer StatusProblem(const UpstreamResponse& response) {
    return Answer(AnswerKind::Failed, "status " + std::to_string(response.status));
}

SourceAnswer Accept(LiveQuote quote) {
    if (!quote.last || !(*quote.last > 0)) return Answer(AnswerKind::Unknown, "no price for the symbol");
    SourceAnswer answer = Answer(AnswerKind::Quote, "");
    answer.quote = std::move(quote);
    return answer;
}

}  // namespace service
