#include "service/sources/twelvedata_source.h"

#include "service/sources/answer_checks.h"
#include "service/sources/exchange_time.h"
#include "service/sources/json_fields.h"
#include "service/sources/symbol_forms.h"

namespace service {

namespace {

const char* const kUserAgent = "velmoria-service/5.6";
const char* const kLondonSuffix = "L";
const char* const kLondonExchange = "LSE";
constexpr std::int64_t kCodeBadRequest = 400;
constexpr std::int64_t kCodeUnauthorized = 401;
constexpr std::int64_t kCodeForbidden = 403;
constexpr std::int64_t kCodeNotFound = 404;
constexpr std::int64_t kCodeTooManyRequests = 429;

SourceAnswer ErrorAnswer(std::int64_t code) {
    switch (code) {
    case kCodeBadRequest:
    case kCodeNotFound: return Answer(AnswerKind::Unknown, "symbol not found");
    case kCodeUnauthorized: return Answer(AnswerKind::Refused, "key refused");
    case kCodeForbidden: return Answer(AnswerKind::Refused, "not in the key's plan");
    case kCodeTooManyRequests: return Answer(AnswerKind::Limited, "credits used up");
    default: return Answer(AnswerKind::Failed, "error code " + std::to_string(code));
    }
}

// The symbol in Twelve Data's own form and its exchange, if it names one.
struct TwelveDataForm {
    std::string symbol;
    std::string exchange;
};

std::optional<TwelveDataForm> FormOf(const std::string& symbol) {
    if (!IsPlausibleSymbol(symbol) || symbol[0] == '^') return std::nullopt;
    if (const auto pair = CurrencyPair(symbol)) return TwelveDataForm{pair->first + "/" + pair->second, ""};
    if (ClassShare(symbol)) return TwelveDataForm{WithClassSeparator(symbol, '.'), ""};
    if (symbol.find('=') != std::string::npos) return std::nullopt;
    if (ExchangeSuffix(symbol) == kLondonSuffix) return TwelveDataForm{WithoutSuffix(symbol), kLondonExchange};
    if (!ExchangeSuffix(symbol).empty()) return std::nullopt;
    return TwelveDataForm{symbol, ""};
}

}  // namespace

std::string TwelveDataSymbolForm(const std::string& symbol) {
    const auto form = FormOf(symbol);
    if (!form) return symbol;
    return form->exchange.empty() ? form->symbol : form->symbol + ":" + form->exchange;
}

std::optional<UpstreamRequest> TwelveDataRequest(const std::string& base, const std::string& symbol,
                                                 const std::string& key) {
    const auto form = FormOf(symbol);
    if (!form) return std::nullopt;
    std::string query = "symbol=" + EscapeQueryValue(form->symbol);
    if (!form->exchange.empty()) query += "&exchange=" + form->exchange;
    return UpstreamRequest{base + kTwelveDataPath + "?" + query, {kTwelveDataKeyHeader + key}, kUserAgent, true};
}

SourceAnswer ParseTwelveDataAnswer(const UpstreamResponse& response, const std::string& symbol) {
    if (auto problem = TransferOrLimitProblem(response)) return *problem;
    const auto body = JsonObjectOf(response.body);
    if (body && TextField(*body, "status") == std::optional<std::string>("error")) {
        return ErrorAnswer(IntegerField(*body, "code").value_or(0));
    }
    if (response.status != kHttpOk) return StatusProblem(response);
    if (!body) return Answer(AnswerKind::NotTheFormat, "not a JSON object");
    if (!body->contains("close")) return Answer(AnswerKind::NotTheFormat, "no close field");
    LiveQuote quote;
    quote.symbol = symbol;
    quote.last = NumberField(*body, "close");
    quote.change = NumberField(*body, "change");
    quote.open = NumberField(*body, "open");
    quote.high = NumberField(*body, "high");
    quote.low = NumberField(*body, "low");
    quote.previousClose = NumberField(*body, "previous_close");
    quote.volume = IntegerField(*body, "volume");
    quote.currency = NameField(*body, "currency");
    // The last trade's time when given, else the bar's.
    auto time = IntegerField(*body, "last_quote_at");
    if (!time) time = IntegerField(*body, "timestamp");
    const ExchangeZone* zone = ZoneOfExchange(NameField(*body, "exchange"));
    if (time && *time > 0 && zone != nullptr) {
        quote.time = time;
        quote.utcOffsetSeconds = UtcOffsetAt(*zone, *time);
        quote.timeZoneName = zone->name;
    }
    SourceAnswer answer = Accept(std::move(quote));
    // "VOD" on another exchange than the one asked for is another share.
    const auto form = FormOf(symbol);
    const bool otherSymbol = !AnswersFor(TextField(*body, "symbol"), form ? form->symbol : symbol) ||
                             (form && !form->exchange.empty() && !AnswersFor(TextField(*body, "exchange"), form->exchange));
    if (answer.kind == AnswerKind::Quote && otherSymbol) return AnswerForAnotherSymbol();
    return answer;
}

}  // namespace service
