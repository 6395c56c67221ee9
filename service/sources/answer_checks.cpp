#include "service/sources/answer_checks.h"

#include <cctype>
#include <cmath>

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

namespace {

const char* const kImplausiblePrice = "a price out of any market's range";

// False when the price is there but not plausible; a zero is taken as none.
bool KeepPlausible(std::optional<double>& price) {
    if (price && *price == 0) price.reset();
    return !price || IsPlausiblePrice(*price);
}

std::string UpperCase(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

}  // namespace

bool IsPlausiblePrice(double price) { return price >= kMinPlausiblePrice && price <= kMaxPlausiblePrice; }

SourceAnswer Accept(LiveQuote quote) {
    if (!quote.last || !(*quote.last > 0)) return Answer(AnswerKind::Unknown, "no price for the symbol");
    if (!IsPlausiblePrice(*quote.last)) return Answer(AnswerKind::NotTheFormat, kImplausiblePrice);
    for (std::optional<double>* price : {&quote.open, &quote.low, &quote.high, &quote.previousClose}) {
        if (!KeepPlausible(*price)) return Answer(AnswerKind::NotTheFormat, kImplausiblePrice);
    }
    if (quote.change && !(std::fabs(*quote.change) <= kMaxPlausiblePrice)) {
        return Answer(AnswerKind::NotTheFormat, kImplausiblePrice);
    }
    SourceAnswer answer = Answer(AnswerKind::Quote, "");
    answer.quote = std::move(quote);
    return answer;
}

bool AnswersFor(const std::optional<std::string>& answered, const std::string& asked) {
    return !answered || UpperCase(*answered) == UpperCase(asked);
}

SourceAnswer AnswerForAnotherSymbol() { return Answer(AnswerKind::NotTheFormat, "an answer for another symbol"); }

}  // namespace service
