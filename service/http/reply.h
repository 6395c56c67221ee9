#pragma once
// One answer of the service before it goes on the wire.
#include <string>
#include <vector>

namespace service {

constexpr int kStatusOk = 200;
constexpr int kStatusFound = 302;
constexpr int kStatusBadRequest = 400;
constexpr int kStatusNotFound = 404;
constexpr int kStatusMethodNotAllowed = 405;
constexpr int kStatusHeadersTooLarge = 431;
constexpr int kStatusServerError = 500;
constexpr int kStatusUnavailable = 503;
constexpr int kStatusVersionNotSupported = 505;

const char* const kHtmlType = "text/html";
const char* const kPlainType = "text/plain";
const char* const kCsvType = "text/csv";
const char* const kJsonType = "application/json";

struct Header {
    std::string name;
    std::string value;
};

struct Reply {
    int status = kStatusOk;
    std::string contentType = kPlainType;
    std::string body;
    // Beyond Content-Type, Content-Length and Connection, which every
    // answer gets (Location of a redirect, Allow of a refused method).
    std::vector<Header> headers = {};
};

}  // namespace service
