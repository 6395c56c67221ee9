#include "service/sources/finnhub_source.h"

#include "service/sources/answer_checks.h"
#include "service/sources/exchange_time.h"
#include "service/sources/json_fields.h"
#include "service/sources/symbol_forms.h"

namespace service {

namespace {

const char* const kUserAgent = "velmoria-service/5.6";

}  // namespace

std::string FinnhubSymbolForm(const std::string& symbol) { return WithClassSeparator(symbol, '-'); }

std::optional<UpstreamRequest> FinnhubRequest(const std::string& base, const std::string& symbol,
                                              const std::string& key) {
    if (!IsPlausibleSymbol(symbol) || symbol[0] == '^' || CurrencyPair(symbol)) return std::nullopt;
    // The free plan serves US shares only: another exchange's symbol would
    // cost a refused request, and its time would be read as New York's.
    if (!ClassShare(symbol) && !ExchangeSuffix(symbol).empty()) return std::nullopt;
    return UpstreamRequest{base + kFinnhubPath + "?symbol=" + EscapeQueryValue(FinnhubSymbolForm(symbol)),
                           {kFinnhubKeyHeader + key}, kUserAgent, true};
}

SourceAnswer ParseFinnhubAnswer(const UpstreamResponse& response, const std::string& symbol) {
    if (auto problem = TransferOrLimitProblem(response)) return *problem;
    if (response.status != kHttpOk) return StatusProblem(response);
    const auto body = JsonObjectOf(response.body);
    if (!body) return Answer(AnswerKind::NotTheFormat, "not a JSON object");
    if (TextField(*body, "error")) return Answer(AnswerKind::Failed, "Finnhub answered an error");
    if (!body->contains("c")) return Answer(AnswerKind::NotTheFormat, "no price field");
    LiveQuote quote;
    quote.symbol = symbol;
    quote.last = NumberField(*body, "c");
    quote.change = NumberField(*body, "d");
    quote.high = NumberField(*body, "h");
    quote.low = NumberField(*body, "l");
    quote.open = NumberField(*body, "o");
    quote.previousClose = NumberField(*body, "pc");
    const auto time = IntegerField(*body, "t");
    if (time && *time > 0) {
        quote.time = time;
        quote.utcOffsetSeconds = UtcOffsetAt(kNewYorkZone, *time);
        quote.timeZoneName = kNewYorkZone.name;
    }
    // {"c":0,"d":null,...} is Finnhub's word for a symbol it does not know.
    return Accept(std::move(quote));
}

}  // namespace service
