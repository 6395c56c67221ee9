#include "service/pages/pages.h"

#include "service/pages/html.h"

namespace service {

std::string HomePage() {
    return HtmlPage("Velmoria - the desktop stock ticker",
                    "<h1>Velmoria</h1>\n"
                    "<p>A free, easy, interactive stock ticker: a thin bar on your desktop across which the quotes "
                    "of your symbols scroll, coloured by how the day is going.</p>\n"
                    "<ul>\n"
                    "<li><a href=\"/help.html\">Velmoria On-Line Help</a></li>\n"
                    "<li><a href=\"/news.html\">Market News</a></li>\n"
                    "</ul>\n"
                    "<h2>Quote lookup</h2>\n"
                    "<form action=\"/orvo.html\" method=\"get\">\n"
                    "<label>Symbol: <input name=\"s\" size=\"10\" maxlength=\"10\"></label>\n"
                    "<input type=\"submit\" value=\"Get Quote\">\n"
                    "</form>\n");
}

std::string NewsPage() {
    return HtmlPage("Market News",
                    "<h1 id=\"news\">Market News</h1>\n"
                    "<ul>\n"
                    "<li>Stocks open steady as traders wait for the week's earnings reports.</li>\n"
                    "<li>Technology shares lead early gains; energy trails on softer oil prices.</li>\n"
                    "<li>London shares edge higher in quiet trading.</li>\n"
                    "<li>Bond yields hold near their lows of the month.</li>\n"
                    "</ul>\n"
                    "<h2 id=\"hours\">Market Hours</h2>\n"
                    "<p>Quotes cover the regular session from 9:30AM to 4:00PM. Outside it the ticker shows the "
                    "last trade of the day, and the day's change is measured against the previous close.</p>\n"
                    "<p>Quotes may be delayed and are for information only.</p>\n");
}

std::string NotFoundPage(const std::string& path) {
    return HtmlPage("Not Found", "<h1>Not Found</h1>\n<p>There is no page <code>" + HtmlEscape(path) +
                                     "</code> on this site. Try the <a href=\"/\">home page</a>.</p>\n");
}

}  // namespace service
