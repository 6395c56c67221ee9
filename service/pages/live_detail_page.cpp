#include "service/pages/live_detail_page.h"

#include <cstdio>

#include "service/pages/html.h"
#include "service/pages/intraday_chart.h"
#include "service/sources/live_csv.h"

namespace service {

namespace {

const char* const kNotAvailable = "N/A";
const char* const kPence = "GBp";
constexpr double kPercent = 100.0;

std::string Row(const std::string& name, const std::string& valueHtml) {
    return "<tr><td>" + name + "</td><td>" + valueHtml + "</td></tr>\n";
}

std::string Price(const std::optional<double>& price) { return price ? LivePriceText(*price) : kNotAvailable; }

const char* ChangeClass(double change) {
    if (change > 0) return "up";
    if (change < 0) return "down";
    return "flat";
}

std::string ChangeHtml(const LiveQuote& quote) {
    const auto change = ChangeOf(quote);
    if (!change) return kNotAvailable;
    std::string text = LiveChangeText(*change, PriceDecimals(quote.last.value_or(0)));
    if (quote.previousClose && *quote.previousClose > 0) {
        char percent[32];
        std::snprintf(percent, sizeof percent, " (%+.2f%%)", kPercent * *change / *quote.previousClose);
        text += percent;
    }
    return "<span class=\"" + std::string(ChangeClass(*change)) + "\">" + text + "</span>";
}

std::string TradeTimeHtml(const LiveQuote& quote) {
    const auto time = TradeTimeOf(quote);
    if (!time) return kNotAvailable;
    return *time + " <small>" + HtmlEscape(TimeZoneText(quote)) + "</small>";
}

std::string CurrencyNote(const LiveQuote& quote) {
    if (quote.currency.empty()) return "";
    if (quote.currency == kPence) return "<p><small>Prices in pence (GBp), as the source gives them.</small></p>\n";
    return "<p><small>Prices in " + HtmlEscape(quote.currency) + ".</small></p>\n";
}

std::string QuoteTable(const LiveQuote& quote) {
    return "<table class=\"quote\">\n" + Row("Last Trade", "<b>" + Price(quote.last) + "</b>") +
           Row("Change", ChangeHtml(quote)) + Row("Trade Time", TradeTimeHtml(quote)) + Row("Open", Price(quote.open)) +
           Row("Day's High", Price(quote.high)) + Row("Day's Low", Price(quote.low)) +
           Row("Previous Close", Price(quote.previousClose)) +
           Row("Volume", quote.volume ? std::to_string(*quote.volume) : kNotAvailable) +
           Row("Source", HtmlEscape(quote.source)) + "</table>\n";
}

std::string ChartSection(const LiveQuote& quote) {
    const std::string svg = IntradayChartSvg(quote);
    if (svg.empty()) return "<p>No prices through the day from this source.</p>\n";
    return "<h2>Today</h2>\n" + svg + "\n<p><small>Times in " + HtmlEscape(TimeZoneText(quote)) +
           ", the exchange's own time.</small></p>\n";
}

}  // namespace

std::string LiveDetailPage(const std::string& symbol, const std::optional<LiveQuote>& quote,
                           const Requester& requester) {
    const std::string shown = HtmlEscape(symbol);
    if (!quote) {
        return HtmlPage(symbol + " - Quote", "<h1>" + shown + "</h1>\n<p>No quote is available for <b>" + shown +
                                                 "</b> from the market-data sources now. Check the symbol and its "
                                                 "exchange suffix.</p>\n" +
                                                 RequesterFootnote(requester));
    }
    return HtmlPage(symbol + " - Quote", "<h1>" + shown + "</h1>\n" + QuoteTable(*quote) + CurrencyNote(*quote) +
                                             ChartSection(*quote) + RequesterFootnote(requester));
}

}  // namespace service
