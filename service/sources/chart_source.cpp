#include "service/sources/chart_source.h"

#include <algorithm>
#include <cmath>

#include "service/sources/answer_checks.h"
#include "service/sources/json_fields.h"
#include "service/sources/symbol_forms.h"

namespace service {

namespace {

const char* const kNotFoundCode = "Not Found";
constexpr int kMaxUtcOffsetSeconds = 14 * 3600;

const nlohmann::json* FirstOf(const nlohmann::json* array) {
    if (array == nullptr || !array->is_array() || array->empty() || !(*array)[0].is_object()) return nullptr;
    return &(*array)[0];
}

// indicators.quote[0]
const nlohmann::json* QuoteIndicators(const nlohmann::json& result) {
    const nlohmann::json* indicators = StructField(result, "indicators");
    return indicators == nullptr ? nullptr : FirstOf(StructField(*indicators, "quote"));
}

const nlohmann::json* SeriesOf(const nlohmann::json* indicators, const char* key) {
    const nlohmann::json* series = indicators == nullptr ? nullptr : StructField(*indicators, key);
    return series != nullptr && series->is_array() ? series : nullptr;
}

// Times and closes side by side; points without a close (null) are left out.
std::vector<PricePoint> Series(const nlohmann::json& result, const nlohmann::json* indicators) {
    std::vector<PricePoint> points;
    const nlohmann::json* times = StructField(result, "timestamp");
    const nlohmann::json* closes = SeriesOf(indicators, "close");
    if (times == nullptr || !times->is_array() || closes == nullptr) return points;
    const std::size_t count = std::min(times->size(), closes->size());
    const std::size_t first = count > kMaxSeriesPoints ? count - kMaxSeriesPoints : 0;
    for (std::size_t i = first; i < count; ++i) {
        const nlohmann::json& time = (*times)[i];
        const nlohmann::json& close = (*closes)[i];
        if (!time.is_number_integer() || !close.is_number() || !IsPlausiblePrice(close.get<double>())) continue;
        points.push_back({time.get<std::int64_t>(), close.get<double>()});
    }
    return points;
}

// The day's open: the first bar's open.
std::optional<double> FirstOpen(const nlohmann::json* indicators) {
    const nlohmann::json* opens = SeriesOf(indicators, "open");
    if (opens == nullptr) return std::nullopt;
    for (const nlohmann::json& open : *opens) {
        if (open.is_number() && std::isfinite(open.get<double>())) return open.get<double>();
    }
    return std::nullopt;
}

bool IsNotFound(const nlohmann::json& chart) {
    const nlohmann::json* error = StructField(chart, "error");
    return error != nullptr && TextField(*error, "code") == std::optional<std::string>(kNotFoundCode);
}

SourceAnswer QuoteOf(const nlohmann::json& result, const std::string& symbol) {
    const nlohmann::json* meta = StructField(result, "meta");
    if (meta == nullptr || !meta->is_object()) return Answer(AnswerKind::NotTheFormat, "no meta in the chart");
    LiveQuote quote;
    quote.symbol = symbol;
    quote.last = NumberField(*meta, "regularMarketPrice");
    // With range=1d chartPreviousClose is the close before today as well.
    quote.previousClose = NumberField(*meta, "previousClose");
    if (!quote.previousClose) quote.previousClose = NumberField(*meta, "chartPreviousClose");
    quote.high = NumberField(*meta, "regularMarketDayHigh");
    quote.low = NumberField(*meta, "regularMarketDayLow");
    quote.volume = IntegerField(*meta, "regularMarketVolume");
    quote.time = IntegerField(*meta, "regularMarketTime");
    const auto offset = IntegerField(*meta, "gmtoffset");
    if (offset && *offset >= -kMaxUtcOffsetSeconds && *offset <= kMaxUtcOffsetSeconds) {
        quote.utcOffsetSeconds = static_cast<int>(*offset);
    }
    quote.timeZoneName = NameField(*meta, "exchangeTimezoneName");
    quote.currency = NameField(*meta, "currency");
    const nlohmann::json* indicators = QuoteIndicators(result);
    quote.open = FirstOpen(indicators);
    quote.series = Series(result, indicators);
    SourceAnswer answer = Accept(std::move(quote));
    // The chart API names symbols in the form it was asked in (BRK-B for
    // BRK.B).
    if (answer.kind == AnswerKind::Quote && !AnswersFor(TextField(*meta, "symbol"), ChartSymbolForm(symbol))) {
        return AnswerForAnotherSymbol();
    }
    return answer;
}

}  // namespace

std::string ChartSymbolForm(const std::string& symbol) { return WithClassSeparator(symbol, '-'); }

std::optional<UpstreamRequest> ChartRequest(const std::string& base, const std::string& symbol, const std::string&) {
    if (!IsPlausibleSymbol(symbol)) return std::nullopt;
    return UpstreamRequest{base + kChartPath + EscapeQueryValue(ChartSymbolForm(symbol)) + kChartQuery, {},
                           kBrowserUserAgent};
}

SourceAnswer ParseChartAnswer(const UpstreamResponse& response, const std::string& symbol) {
    if (auto problem = TransferOrLimitProblem(response)) return *problem;
    // An unknown symbol comes with 404 and the chart's own error.
    const auto body = JsonObjectOf(response.body);
    const nlohmann::json* chart = body ? StructField(*body, "chart") : nullptr;
    if (chart != nullptr && IsNotFound(*chart)) return Answer(AnswerKind::Unknown, "Not Found");
    if (response.status != kHttpOk) return StatusProblem(response);
    if (chart == nullptr || !chart->is_object()) return Answer(AnswerKind::NotTheFormat, "not a chart answer");
    const nlohmann::json* result = FirstOf(StructField(*chart, "result"));
    if (result == nullptr) {
        const nlohmann::json* error = StructField(*chart, "error");
        const auto code = error != nullptr ? TextField(*error, "code") : std::nullopt;
        return code ? Answer(AnswerKind::Failed, "chart error " + NameField(*error, "code"))
                    : Answer(AnswerKind::Unknown, "empty chart");
    }
    return QuoteOf(*result, symbol);
}

}  // namespace service
