// FetchUpstream over libcurl.
#include "service/sources/upstream_client.h"

#include <curl/curl.h>

#include <chrono>
#include <memory>

#include "service/sources/redirect_rule.h"

namespace service {

namespace {

// http only so that tests can point a source at a fake on 127.0.0.1; a
// redirect may not leave the two.
const char* const kAllowedProtocols = "http,https";
constexpr long kVerifyHostName = 2;
constexpr int kContinue = 0;
constexpr int kAbort = 1;

using Clock = std::chrono::steady_clock;

struct EasyDeleter {
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
struct HeaderListDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

struct Sink {
    std::string* body;
    std::size_t cap;
    bool overflowed = false;
};

std::size_t Write(char* data, std::size_t size, std::size_t count, void* user) {
    Sink& sink = *static_cast<Sink*>(user);
    const std::size_t bytes = size * count;
    if (sink.body->size() + bytes > sink.cap) {
        sink.overflowed = true;
        return 0;  // ends the transfer with CURLE_WRITE_ERROR
    }
    sink.body->append(data, bytes);
    return bytes;
}

int Progress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    const auto* stop = static_cast<const std::atomic<bool>*>(user);
    return stop != nullptr && stop->load() ? kAbort : kContinue;
}

std::optional<std::string> HeaderValue(CURL* handle, const char* name) {
    curl_header* header = nullptr;
    if (curl_easy_header(handle, name, 0, CURLH_HEADER, -1, &header) != CURLHE_OK || header == nullptr) {
        return std::nullopt;
    }
    return std::string(header->value);
}

}  // namespace

UpstreamResponse FetchUpstream(const UpstreamRequest& request, const UpstreamLimits& limits,
                               const std::atomic<bool>* stop) {
    UpstreamResponse response;
    std::unique_ptr<CURL, EasyDeleter> handle(curl_easy_init());
    if (!handle) {
        response.failure = "libcurl could not start";
        return response;
    }
    CURL* curl = handle.get();
    std::unique_ptr<curl_slist, HeaderListDeleter> headers;
    for (const std::string& header : request.headers) {
        curl_slist* grown = curl_slist_append(headers.get(), header.c_str());
        if (grown == nullptr) {
            response.failure = "out of memory";
            return response;
        }
        headers.release();
        headers.reset(grown);
    }
    Sink sink{&response.body, limits.maxBodyBytes};

    // A request with a key follows its redirects here, one by one, where
    // each can be checked before the key goes along.
    const bool curlFollows = !request.carriesKey;
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, kAllowedProtocols);
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, kAllowedProtocols);
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, curlFollows ? 1L : 0L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, limits.maxRedirects);
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, kVerifyHostName);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(limits.connectTimeout.count()));
    curl_easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(limits.maxBodyBytes));
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);  // time-outs without SIGALRM, in any thread
    curl_easy_setopt(curl, CURLOPT_ACCEPT_ENCODING, "");  // whatever libcurl can decode
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, Write);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &sink);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, Progress);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, stop);
    if (!request.userAgent.empty()) curl_easy_setopt(curl, CURLOPT_USERAGENT, request.userAgent.c_str());
    if (headers) curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers.get());

    const auto deadline = Clock::now() + limits.totalTimeout;
    std::string url = request.url;
    CURLcode result = CURLE_OK;
    for (long redirects = 0;; ++redirects) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) {
            result = CURLE_OPERATION_TIMEDOUT;
            break;
        }
        curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
        curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, static_cast<long>(left.count()));
        result = curl_easy_perform(curl);
        char* next = nullptr;
        if (curlFollows || result != CURLE_OK || curl_easy_getinfo(curl, CURLINFO_REDIRECT_URL, &next) != CURLE_OK ||
            next == nullptr) {
            break;
        }
        if (redirects >= limits.maxRedirects) {
            response.failure = "redirected too often";
            return response;
        }
        if (!MayFollowRedirect(url, next, request.carriesKey)) {
            response.failure = "redirected away from the source's own host over https";
            return response;
        }
        url = next;
        response.body.clear();
    }
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &response.status);
    char* contentType = nullptr;
    if (curl_easy_getinfo(curl, CURLINFO_CONTENT_TYPE, &contentType) == CURLE_OK && contentType != nullptr) {
        response.contentType = contentType;
    }
    response.retryAfter = HeaderValue(curl, "Retry-After");

    if (result == CURLE_OK) {
        response.transfer = Transfer::Complete;
    } else if (sink.overflowed || result == CURLE_FILESIZE_EXCEEDED) {
        response.transfer = Transfer::TooLarge;
        response.failure = "answer larger than " + std::to_string(limits.maxBodyBytes) + " bytes";
    } else if (result == CURLE_OPERATION_TIMEDOUT) {
        response.transfer = Transfer::TimedOut;
        response.failure = "no answer in time";
    } else if (result == CURLE_ABORTED_BY_CALLBACK) {
        response.transfer = Transfer::Stopped;
        response.failure = "stopped";
    } else {
        // curl_easy_strerror names the kind of failure only, never the address.
        response.failure = curl_easy_strerror(result);
    }
    return response;
}

UpstreamClientLibrary::UpstreamClientLibrary() { curl_global_init(CURL_GLOBAL_DEFAULT); }

UpstreamClientLibrary::~UpstreamClientLibrary() { curl_global_cleanup(); }

}  // namespace service
