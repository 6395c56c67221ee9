#include "service/pages/detail_pages.h"

#include <cstdio>

#include "service/pages/html.h"
#include "service/pages/price_chart.h"
#include "service/simulated/quote_csv.h"

namespace service {

namespace {

constexpr double kPercent = 100.0;

const char* const kLinkableSchemes[] = {"http://", "https://"};

bool StartsWithNoCase(const std::string& text, const std::string& prefix) {
    return text.size() >= prefix.size() && UpperCase(text.substr(0, prefix.size())) == UpperCase(prefix);
}

// Only web addresses become links; anything else (a "javascript:" one, say)
// is shown as text.
bool IsLinkable(const std::string& address) {
    for (const char* scheme : kLinkableSchemes) {
        if (StartsWithNoCase(address, scheme)) return true;
    }
    return false;
}

const char* ChangeClass(std::int64_t changeCents) {
    if (changeCents > 0) return "up";
    if (changeCents < 0) return "down";
    return "flat";
}

std::string PercentText(std::int64_t changeCents, std::int64_t prevCloseCents) {
    if (prevCloseCents <= 0) return "";
    char text[32];
    std::snprintf(text, sizeof text, "%+.2f%%",
                  kPercent * static_cast<double>(changeCents) / static_cast<double>(prevCloseCents));
    return text;
}

std::string Row(const std::string& name, const std::string& valueHtml) {
    return "<tr><td>" + name + "</td><td>" + valueHtml + "</td></tr>\n";
}

std::string QuoteTable(const Quote& quote) {
    const std::int64_t change = quote.lastCents - quote.prevCloseCents;
    const std::string changeHtml = "<span class=\"" + std::string(ChangeClass(change)) + "\">" + ChangeText(change) +
                                   " (" + PercentText(change, quote.prevCloseCents) + ")</span>";
    return "<table class=\"quote\">\n" + Row("Last Trade", "<b>" + PriceText(quote.lastCents) + "</b>") +
           Row("Change", changeHtml) + Row("Trade Time", TradeTimeText(quote.minutesSinceOpen)) +
           Row("Open", PriceText(quote.openCents)) + Row("Day's High", PriceText(quote.highCents)) +
           Row("Day's Low", PriceText(quote.lowCents)) + Row("Previous Close", PriceText(quote.prevCloseCents)) +
           Row("Volume", std::to_string(quote.volume)) + "</table>\n";
}

}  // namespace

std::string RequesterFootnote(const Requester& requester) {
    if (requester.version.empty() && requester.banner.empty()) return "";
    return "<p><small>Requested by Velmoria v" + HtmlEscape(requester.version) + ", banner " +
           HtmlEscape(requester.banner) + ".</small></p>\n";
}

std::string QuoteDetailPage(const std::string& symbol, const std::optional<Quote>& quote, const Requester& requester) {
    const std::string shown = HtmlEscape(symbol);
    if (!quote) {
        return HtmlPage(symbol + " - Quote", "<h1>" + shown + "</h1>\n<p>No quote is available for <b>" + shown +
                                                 "</b>. Check the symbol and its exchange suffix.</p>\n" +
                                                 RequesterFootnote(requester));
    }
    return HtmlPage(symbol + " - Quote", "<h1>" + shown + "</h1>\n" + QuoteTable(*quote) + "<h2>Recent prices</h2>\n" +
                                             PriceChartSvg(quote->recentCents) + "\n" +
                                             RequesterFootnote(requester));
}

std::string LinkDetailPage(const std::string& address, const Requester& requester) {
    const std::string shown = HtmlEscape(address);
    const std::string target =
        IsLinkable(address) ? "<a href=\"" + shown + "\">" + shown + "</a>" : "<code>" + shown + "</code>";
    return HtmlPage("Velmoria Link", "<h1>Velmoria Link</h1>\n<p>This item of your ticker leads to " + target +
                                         ".</p>\n" + RequesterFootnote(requester));
}

std::string EmptyDetailPage() {
    return HtmlPage("Velmoria Quote",
                    "<h1>Velmoria Quote</h1>\n<p>No symbol was given. Use the <a href=\"/\">quote "
                    "lookup</a> on the home page.</p>\n");
}

}  // namespace service
