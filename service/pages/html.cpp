#include "service/pages/html.h"

namespace service {

namespace {

const char* const kStyle =
    "body{font-family:Arial,Helvetica,sans-serif;margin:0;background:#f4f4ee;color:#222}"
    "header{background:#006600;color:#fff;padding:8px 16px;font-weight:bold;font-size:18px}"
    "header a{color:#fff;text-decoration:none}"
    "main{padding:8px 16px 24px;max-width:760px}"
    "table.quote td{padding:2px 12px 2px 0}"
    ".up{color:#006600}.flat{color:#0000cc}.down{color:#dd0000}"
    "code,kbd{background:#e8e8e0;padding:0 3px}"
    "footer{color:#777;font-size:12px;padding:0 16px 16px}"
    "main{overflow-wrap:anywhere}svg.chart{display:block;width:100%;max-width:480px;height:auto}";

}  // namespace

std::string HtmlEscape(const std::string& text) {
    std::string escaped;
    escaped.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '&': escaped += "&amp;"; break;
        case '<': escaped += "&lt;"; break;
        case '>': escaped += "&gt;"; break;
        case '"': escaped += "&quot;"; break;
        case '\'': escaped += "&#39;"; break;
        default: escaped.push_back(c);
        }
    }
    return escaped;
}

std::string HtmlPage(const std::string& title, const std::string& bodyHtml) {
    return "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"iso-8859-1\">\n"
           "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n<title>" + HtmlEscape(title) +
           "</title>\n<style>" + kStyle +
           "</style>\n</head>\n<body>\n<header><a href=\"/\">Velmoria</a></header>\n<main>\n" + bodyHtml +
           "</main>\n<footer>Velmoria, the desktop stock ticker.</footer>\n</body>\n</html>\n";
}

}  // namespace service
