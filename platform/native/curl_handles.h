#pragma once
// Owners of libcurl's handles, each freed by its own cleanup call.
#include <curl/curl.h>

#include <memory>

namespace platform::native {

struct CurlDeleter {
    void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
    void operator()(CURLU* url) const { curl_url_cleanup(url); }
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
// CURL and CURLM are both void, so the multi handle has a deleter of its own.
struct CurlMultiDeleter {
    void operator()(CURLM* multi) const { curl_multi_cleanup(multi); }
};
using CurlEasy = std::unique_ptr<CURL, CurlDeleter>;
using CurlMulti = std::unique_ptr<CURLM, CurlMultiDeleter>;
using CurlUrl = std::unique_ptr<CURLU, CurlDeleter>;
using CurlList = std::unique_ptr<curl_slist, CurlDeleter>;

}  // namespace platform::native
