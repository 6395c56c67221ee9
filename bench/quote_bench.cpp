// Cost of turning quote values into the bar's text and a quote source's
// answer into values.
#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <string>

#include "quotes/data_mask.h"
#include "quotes/data_text.h"
#include "quotes/number_format.h"
#include "quotes/quote_line.h"

namespace {

constexpr const char* kQuoteSource = "http://127.0.0.1:8642/d/quotes.csv?f=sl1t1c1ghpv&s=IBM";
constexpr const char* kIbmLine = "\"IBM\",123.5,\"4:00PM\",+1.25,120.0,124.0,122.25,1234567\n";
constexpr std::size_t kOneMegabyte = 1u << 20;

// Prices of the kinds a ticker shows, a few in the exponent form.
constexpr std::array<double, 8> kPrices{105.25, 1.5, -0.25, 1234567, 0.015625, 3.125, 12345.678, 0.00001};

quotes::QuoteFields SampleQuote() {
    quotes::QuoteFields fields;
    fields.label = "ibm";
    quotes::ApplyQuoteLine(kQuoteSource, kIbmLine, fields);
    fields.open = 121.5;
    return fields;
}

void BM_FormatG(benchmark::State& state) {
    for (auto _ : state) {
        for (double price : kPrices) benchmark::DoNotOptimize(quotes::FormatG(price));
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(kPrices.size()));
}
BENCHMARK(BM_FormatG);

void BM_FractionText(benchmark::State& state) {
    for (auto _ : state) {
        for (double price : kPrices) benchmark::DoNotOptimize(quotes::FractionText(price));
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(kPrices.size()));
}
BENCHMARK(BM_FractionText);

void BM_BuildDataText(benchmark::State& state, std::uint32_t mask) {
    const quotes::QuoteFields fields = SampleQuote();
    for (auto _ : state) benchmark::DoNotOptimize(quotes::BuildDataText(fields, mask));
}
constexpr std::uint32_t kEveryField = quotes::kSelectAllDataMask | quotes::kShowOpen;
BENCHMARK_CAPTURE(BM_BuildDataText, DefaultMask, quotes::kDefaultDataMask);
BENCHMARK_CAPTURE(BM_BuildDataText, EveryFieldInFractions, kEveryField);
BENCHMARK_CAPTURE(BM_BuildDataText, EveryFieldInDecimals, kEveryField & ~quotes::kShowFractions);

void RunApplyQuoteLine(benchmark::State& state, const std::string& body) {
    for (auto _ : state) {
        quotes::QuoteFields fields;
        fields.label = "ibm";
        quotes::ApplyQuoteLine(kQuoteSource, body, fields);
        benchmark::DoNotOptimize(fields);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(body.size()));
}

void BM_ApplyQuoteLine_OneLine(benchmark::State& state) { RunApplyQuoteLine(state, kIbmLine); }
BENCHMARK(BM_ApplyQuoteLine_OneLine);

// A megabyte of quote lines: the walk ends after the opening price's column.
void BM_ApplyQuoteLine_MegabyteOfLines(benchmark::State& state) {
    std::string body;
    while (body.size() < kOneMegabyte) body += kIbmLine;
    RunApplyQuoteLine(state, body);
}
BENCHMARK(BM_ApplyQuoteLine_MegabyteOfLines);

// Separators only: every byte is an empty field to skip. Three sizes show
// that the walk grows linearly with the body.
void BM_ApplyQuoteLine_Commas(benchmark::State& state) {
    RunApplyQuoteLine(state, std::string(static_cast<std::size_t>(state.range(0)), ','));
}
BENCHMARK(BM_ApplyQuoteLine_Commas)->Arg(kOneMegabyte / 4)->Arg(kOneMegabyte)->Arg(kOneMegabyte * 4);

// A megabyte of digits in the price column, all read as one number.
void BM_ApplyQuoteLine_MegabytePrice(benchmark::State& state) {
    RunApplyQuoteLine(state, "\"IBM\"," + std::string(kOneMegabyte, '7'));
}
BENCHMARK(BM_ApplyQuoteLine_MegabytePrice);

// A megabyte in the trade-time column, copied whole into the values.
void BM_ApplyQuoteLine_MegabyteTime(benchmark::State& state) {
    RunApplyQuoteLine(state, "\"IBM\",1,\"" + std::string(kOneMegabyte, 'T') + "\"");
}
BENCHMARK(BM_ApplyQuoteLine_MegabyteTime);

}  // namespace
