#pragma once
// One answer of the service before it goes on the wire.
#include <string>

namespace service {

constexpr int kStatusOk = 200;
constexpr int kStatusBadRequest = 400;
constexpr int kStatusNotFound = 404;

const char* const kHtmlType = "text/html";
const char* const kPlainType = "text/plain";
const char* const kCsvType = "text/csv";

struct Reply {
    int status = kStatusOk;
    std::string contentType = kPlainType;
    std::string body;
};

}  // namespace service
