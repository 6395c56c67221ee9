#include "service/server/service_core.h"

#include <algorithm>
#include <charconv>
#include <iterator>

#include "service/http/error_pages.h"
#include "service/pages/detail_address.h"
#include "service/pages/detail_pages.h"
#include "service/pages/pages.h"
#include "service/http/query.h"
#include "service/simulated/quote_csv.h"
#include "service/sources/ask_source.h"
#include "service/sources/live_csv.h"
#include "service/sources/symbol_forms.h"
#include "service/pages/live_detail_page.h"

namespace service {

namespace {

const char* const kOk = "ok\n";
const char* const kNoSymbol = "No symbol given.";
const char* const kSymbolSeparators = " ,";  // "s=IBM+MSFT" asks for two lines
const char* const kQuotePaths[] = {"/d/quotes.csv", "/uk/quotes.csv"};

std::string HostAndPort(int port) { return std::string(kLoopbackHost) + ":" + std::to_string(port); }

bool IsQuotePath(const std::string& path) {
    return std::find(std::begin(kQuotePaths), std::end(kQuotePaths), path) != std::end(kQuotePaths);
}

void ReplaceAll(std::string& text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
}

// As asked for, in upper case.
std::vector<std::string> RequestedSymbols(const std::string& rawQuery) {
    const std::string list = QueryValue(rawQuery, "s").value_or("");
    std::vector<std::string> symbols;
    std::size_t start = 0;
    while (start < list.size()) {
        std::size_t end = list.find_first_of(kSymbolSeparators, start);
        if (end == std::string::npos) end = list.size();
        if (end > start) symbols.push_back(UpperCase(list.substr(start, end - start)));
        start = end + 1;
    }
    return symbols;
}

Reply BadRequest(const std::string& why) { return {kStatusBadRequest, kPlainType, why + "\n"}; }

Reply Html(const std::string& page) { return {kStatusOk, kHtmlType, page}; }

}  // namespace

std::string ExpandPlaceholders(const std::string& text, int port) {
    std::string expanded = text;
    ReplaceAll(expanded, "{host}", HostAndPort(port));
    ReplaceAll(expanded, "{port}", std::to_string(port));
    return expanded;
}

std::string DefaultServerMessage(int port, bool simulated) {
    const std::string host = HostAndPort(port);
    const std::string news = "Market News<" + host + "/news.html>, Market Hours<" + host + "/news.html#hours>";
    return simulated ? news + ", Simulated Quotes<" + host + "/help.html#simulated>" : news;
}

namespace {

GatewaySettings GatewaySettingsFor(const ServiceOptions& options) {
    GatewaySettings settings;
    settings.cacheFor = std::chrono::seconds(options.cacheSeconds);
    settings.delayNotice.quietFor = settings.cacheFor;
    return settings;
}

}  // namespace

bool IsControlPath(const std::string& path) { return path.rfind(kControlPrefix, 0) == 0; }

std::string ExchangeList(int port) {
    const std::string base = "http://" + HostAndPort(port);
    return "," + base + "/d/quotes.csv?f=" + kDefaultQuoteFormat + "\r\n" +  //
           "L," + base + "/uk/quotes.csv?f=" + kOpeningQuoteFormat + "\r\n";
}

const ServiceCore::Route ServiceCore::kPages[] = {
    {"/", &ServiceCore::Home},
    {"/index.html", &ServiceCore::Home},
    {"/help.html", &ServiceCore::Help},
    {"/news.html", &ServiceCore::News},
    {"/getmessage.asp", &ServiceCore::Message},
    {"/exchanges.html", &ServiceCore::Exchanges},
    {"/d/quotes.csv", &ServiceCore::DefaultQuotes},
    {"/uk/quotes.csv", &ServiceCore::OpeningQuotes},
    {"/orvo.html", &ServiceCore::Detail},
    {"/status", &ServiceCore::Status},
};

const ServiceCore::Route ServiceCore::kControls[] = {
    {"/control/fault", &ServiceCore::SetFault},
    {"/control/reset", &ServiceCore::Reset},
    {"/control/message", &ServiceCore::SetMessage},
    {"/control/exchanges", &ServiceCore::SetExchanges},
    {"/control/pin", &ServiceCore::Pin},
    {"/control/unpin", &ServiceCore::Unpin},
    {"/control/reseed", &ServiceCore::Reseed},
};

ServiceCore::ServiceCore(const ServiceOptions& options, int port, int deadPort)
    : port_(port),
      deadPort_(deadPort),
      startSeed_(options.seed),
      quotes_(options.seed),
      live_(IsLiveMode(options) ? std::make_unique<LiveGateway>(ConfiguredSources(options), GatewaySettingsFor(options))
                                : nullptr),
      faults_(options.faults),
      pins_(options.pins),
      message_(options.message ? ExpandPlaceholders(*options.message, port)
                               : DefaultServerMessage(port, !IsLiveMode(options))),
      exchanges_(options.exchanges ? ExpandPlaceholders(*options.exchanges, port) : ExchangeList(port)),
      detailUrl_(options.detailUrl),
      firstSource_(options.sources.empty() ? "" : options.sources.front()) {}

Delivery ServiceCore::Respond(const std::string& path, const std::string& rawQuery) {
    // Control requests are never faulty, or a test could not switch a
    // fault for every path off again.
    if (IsControlPath(path)) {
        auto reply = Serve(std::begin(kControls), std::end(kControls), path, rawQuery);
        return ApplyFault(Fault{}, reply ? *reply : Reply{kStatusNotFound, kHtmlType, NotFoundPage(path)});
    }
    // The normal answer is made even when a fault spoils it, so a faulty
    // quote request moves the walk like any other.
    auto reply = Serve(std::begin(kPages), std::end(kPages), path, rawQuery);
    const Fault fault = faults_.Take(path, IsQuotePath(path) ? RequestedSymbols(rawQuery) : std::vector<std::string>{});
    return ApplyFault(fault, reply ? *reply : Reply{kStatusNotFound, kHtmlType, NotFoundPage(path)},
                      RedirectsFor(path, rawQuery));
}

std::string ServiceCore::ServerMessage() const {
    std::string message = message_.Get();
    const std::string notice = live_ ? live_->DelayNoticeText() : "";
    if (notice.empty()) return message;
    return message.empty() ? notice : message + ", " + notice;
}

std::size_t ServiceCore::RememberedSymbols() const { return quotes_.RememberedSymbols(); }

Redirects ServiceCore::RedirectsFor(const std::string& path, const std::string& rawQuery) const {
    const std::string target = EncodePath(path) + (rawQuery.empty() ? "" : "?" + rawQuery);
    return {"http://" + HostAndPort(port_) + target, "https://" + HostAndPort(port_) + target,
            "http://" + HostAndPort(deadPort_) + target};
}

std::optional<Reply> ServiceCore::Serve(const Route* first, const Route* last, const std::string& path,
                                        const std::string& rawQuery) {
    for (const Route* route = first; route != last; ++route) {
        if (path == route->path) return (this->*(route->page))(rawQuery);
    }
    return std::nullopt;
}

Reply ServiceCore::Home(const std::string&) { return Html(HomePage()); }

Reply ServiceCore::Help(const std::string&) { return Html(HelpPage()); }

Reply ServiceCore::News(const std::string&) { return Html(NewsPage()); }

// Every partner ID gets the same message.
Reply ServiceCore::Message(const std::string&) { return {kStatusOk, kPlainType, ServerMessage()}; }

Reply ServiceCore::Exchanges(const std::string&) { return {kStatusOk, kPlainType, exchanges_.Get()}; }

Reply ServiceCore::DefaultQuotes(const std::string& rawQuery) { return Quotes(rawQuery, kDefaultQuoteFormat, false); }

// The source for London sends its column titles first and the opening price
// as a ninth column.
Reply ServiceCore::OpeningQuotes(const std::string& rawQuery) { return Quotes(rawQuery, kOpeningQuoteFormat, true); }

Reply ServiceCore::Quotes(const std::string& rawQuery, const char* defaultFormat, bool withHeader) {
    const auto columns = ParseQuoteFormat(QueryValue(rawQuery, "f").value_or(defaultFormat));
    const auto symbols = RequestedSymbols(rawQuery);
    if (symbols.empty()) return BadRequest(kNoSymbol);
    // A pinned line stands in for the symbol's own; the titles still come first.
    std::string body = withHeader ? QuoteCsvHeader(columns) : "";
    // Live quotes are fetched side by side, all within one answer patience.
    const auto live = live_ ? live_->Quotes(symbols) : std::vector<std::optional<LiveQuote>>{};
    for (std::size_t i = 0; i < symbols.size(); ++i) {
        const std::string& symbol = symbols[i];
        const auto pinned = pins_.For(symbol);
        if (pinned) {
            body += *pinned;
        } else if (live_) {
            body += LiveCsvLine(columns, symbol, live[i]);
        } else {
            body += QuoteCsvLine(columns, symbol, quotes_.Next(symbol));
        }
    }
    return {kStatusOk, kCsvType, body};
}

Reply ServiceCore::Detail(const std::string& rawQuery) {
    const std::string tail = DetailTail(rawQuery);
    const Requester requester{QueryValue(tail, "v").value_or(""), QueryValue(tail, "ban").value_or("")};
    // The ticker puts the item's own parameter first; look there before
    // searching, so a link that holds "s=" is still taken as a link.
    const bool linkFirst = rawQuery.rfind("url=", 0) == 0;
    if (const auto symbol = linkFirst ? std::nullopt : DetailParameter(rawQuery, "s")) {
        if (detailUrl_) return PreferredDetail(UpperCase(*symbol));
        if (live_) return Html(LiveDetailPage(*symbol, live_->Quote(UpperCase(*symbol)), requester));
        return Html(QuoteDetailPage(*symbol, quotes_.Current(*symbol), requester));
    }
    if (const auto address = DetailParameter(rawQuery, "url")) return Html(LinkDetailPage(*address, requester));
    return {kStatusNotFound, kHtmlType, EmptyDetailPage()};
}

// The user's own detail page, with the symbol as the source that quoted it
// writes it (the first source before any quote).
Reply ServiceCore::PreferredDetail(const std::string& symbol) {
    const auto quote = live_ && IsPlausibleSymbol(symbol) ? live_->Quote(symbol) : std::nullopt;
    const std::string source = quote ? quote->source : firstSource_;
    const std::string address = DetailAddress(*detailUrl_, SourceSymbolForm(source, symbol));
    return {kStatusFound, kHtmlType, MovedPage(address), {{"Location", address}}};
}

Reply ServiceCore::Status(const std::string&) {
    if (live_) return {kStatusOk, kJsonType, live_->StatusJson()};
    return {kStatusOk, kJsonType, "{\"mode\": \"simulated\"}\n"};
}

Reply ServiceCore::SetFault(const std::string& rawQuery) {
    const auto mode = QueryValue(rawQuery, "mode");
    if (!mode) return BadRequest("mode is missing");
    const auto fault = ParseFault(*mode, QueryValue(rawQuery, "arg"));
    if (!fault) return BadRequest("unknown mode or argument out of range");
    const auto count = ParseFaultCount(QueryValue(rawQuery, "count").value_or("always"));
    if (!count) return BadRequest("count must be once, always or a number from 1");
    const auto path = QueryValue(rawQuery, "path");
    faults_.Set(PathFault{path && !path->empty() ? *path : kEveryPath, *fault,
                          UpperCase(QueryValue(rawQuery, "symbol").value_or("")), *count});
    return {kStatusOk, kPlainType, kOk};
}

// Back to how the service was started, except that no fault is left on.
Reply ServiceCore::Reset(const std::string&) {
    faults_.Clear();
    message_.Reset();
    exchanges_.Reset();
    pins_.Reset();
    return {kStatusOk, kPlainType, kOk};
}

Reply ServiceCore::SetMessage(const std::string& rawQuery) {
    const auto text = QueryValue(rawQuery, "text");
    if (!text) return BadRequest("text is missing");
    message_.Set(ExpandPlaceholders(*text, port_));
    return {kStatusOk, kPlainType, kOk};
}

Reply ServiceCore::SetExchanges(const std::string& rawQuery) {
    const auto text = QueryValue(rawQuery, "text");
    if (!text) return BadRequest("text is missing");
    exchanges_.Set(ExpandPlaceholders(*text, port_));
    return {kStatusOk, kPlainType, kOk};
}

Reply ServiceCore::Pin(const std::string& rawQuery) {
    const auto symbol = QueryValue(rawQuery, "symbol");
    if (!symbol || symbol->empty()) return BadRequest("symbol is missing");
    const auto line = QueryValue(rawQuery, "line");
    if (!line) return BadRequest("line is missing");
    pins_.Pin(*symbol, *line);
    return {kStatusOk, kPlainType, kOk};
}

// Without a symbol every pin goes.
Reply ServiceCore::Unpin(const std::string& rawQuery) {
    const auto symbol = QueryValue(rawQuery, "symbol");
    if (symbol && !symbol->empty()) {
        pins_.Unpin(*symbol);
    } else {
        pins_.UnpinAll();
    }
    return {kStatusOk, kPlainType, kOk};
}

Reply ServiceCore::Reseed(const std::string& rawQuery) {
    std::uint64_t seed = startSeed_;
    if (const auto text = QueryValue(rawQuery, "seed")) {
        const auto result = std::from_chars(text->data(), text->data() + text->size(), seed);
        if (text->empty() || result.ec != std::errc() || result.ptr != text->data() + text->size()) {
            return BadRequest("seed must be a whole number");
        }
    }
    quotes_.Restart(seed);
    return {kStatusOk, kPlainType, kOk};
}

}  // namespace service
