#include "service/http/http_status.h"

namespace service {

namespace {

struct StatusPhrase {
    int status;
    const char* phrase;
};

const StatusPhrase kPhrases[] = {
    {200, "OK"},
    {301, "Moved Permanently"},
    {302, "Found"},
    {400, "Bad Request"},
    {401, "Unauthorized"},
    {403, "Forbidden"},
    {404, "Not Found"},
    {405, "Method Not Allowed"},
    {408, "Request Timeout"},
    {429, "Too Many Requests"},
    {431, "Request Header Fields Too Large"},
    {500, "Internal Server Error"},
    {501, "Not Implemented"},
    {502, "Bad Gateway"},
    {503, "Service Unavailable"},
    {504, "Gateway Timeout"},
    {505, "HTTP Version Not Supported"},
};

const char* const kUnnamed = "Error";

}  // namespace

const char* ReasonPhrase(int status) {
    for (const StatusPhrase& known : kPhrases) {
        if (known.status == status) return known.phrase;
    }
    return kUnnamed;
}

}  // namespace service
