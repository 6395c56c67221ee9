#include "service/program/source_check.h"

#include "service/simulated/quote_model.h"
#include "service/sources/ask_source.h"
#include "service/sources/live_csv.h"

namespace service {

namespace {

const std::vector<QuoteColumn> kCheckColumns = ParseQuoteFormat(kOpeningQuoteFormat);

std::string Printable(const std::string& text) {
    std::string printable;
    for (const char c : text) printable.push_back(static_cast<unsigned char>(c) < ' ' ? ' ' : c);
    return printable;
}

}  // namespace

bool CheckSources(const ServiceOptions& options, std::ostream& out, const UpstreamLimits& limits) {
    const std::vector<ConfiguredSource> sources = ConfiguredSources(options);
    if (sources.empty()) {
        out << "no live source configured: use --source chart,finnhub,twelvedata\n";
        return false;
    }
    bool anyQuote = false;
    for (const std::string& asked : options.checkSymbols) {
        const std::string symbol = UpperCase(asked);
        for (const ConfiguredSource& source : sources) {
            out << source.adapter->name << " " << Printable(symbol) << ": ";
            const SourceAnswer answer = AskSource(source, symbol, limits);
            if (answer.kind == AnswerKind::Quote) {
                anyQuote = true;
                std::string line = LiveCsvLine(kCheckColumns, symbol, answer.quote);
                line.erase(line.find_last_not_of("\r\n") + 1);
                out << "quote " << line << (answer.quote->currency.empty() ? "" : " " + answer.quote->currency)
                    << "\n";
            } else {
                out << AnswerKindName(answer.kind) << (answer.reason.empty() ? "" : ": " + Printable(answer.reason))
                    << "\n";
            }
        }
    }
    return anyQuote;
}

}  // namespace service
