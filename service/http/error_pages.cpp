#include "service/http/error_pages.h"

#include "service/pages/html.h"
#include "service/http/http_status.h"

namespace service {

std::string ErrorPage(int status) {
    const std::string title = std::to_string(status) + " " + ReasonPhrase(status);
    return "<html><head><title>" + title + "</title></head>\r\n<body><h1>" + title +
           "</h1><p>The server could not answer this request.</p></body></html>\r\n";
}

std::string ServerErrorSitePage() {
    return "<!DOCTYPE html>\n"
           "<html lang=\"en\">\n"
           "<head>\n"
           "<meta charset=\"utf-8\">\n"
           "<title>We'll be right back</title>\n"
           "<style>\n"
           "body { font-family: sans-serif; margin: 4em; color: #333; }\n"
           "h1 { color: #a00; }\n"
           "</style>\n"
           "</head>\n"
           "<body>\n"
           "<h1>Something went wrong on our side</h1>\n"
           "<p>Our quote servers are busy or down for maintenance, please try again in a few minutes.</p>\n"
           "<p>Symbol,Last Trade,Change</p>\n"
           "<p>Reference: 500, server error, request not completed</p>\n"
           "</body>\n"
           "</html>\n";
}

std::string MovedPage(const std::string& location) {
    const std::string shown = HtmlEscape(location);
    return "<html><head><title>302 Found</title></head>\r\n<body><h1>Found</h1><p>The document is at <a href=\"" +
           shown + "\">" + shown + "</a>.</p></body></html>\r\n";
}

}  // namespace service
