#pragma once
// One GET to a market-data source over the system's HTTP client (libcurl
// on Linux, WinHTTP on Windows, which checks certificates against the
// system's store): HTTPS with certificates verified (plain http only where
// a test points a source at a local fake),
// bounded in time, in body size and in redirects (a request with a key
// goes to no other host). Blocking; safe to call
// from several threads at once (every call has its own handle).
#include <atomic>
#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace service {

struct UpstreamLimits {
    std::chrono::milliseconds connectTimeout{4000};
    std::chrono::milliseconds totalTimeout{8000};
    std::size_t maxBodyBytes = 2 * 1024 * 1024;
    long maxRedirects = 3;
};

struct UpstreamRequest {
    std::string url;
    std::vector<std::string> headers;  // "Name: value"; may carry a key, so never logged
    std::string userAgent;
    // A key rides in the headers: redirects only to the same host and port
    // over https (see redirect_rule.h); any other is a failed answer.
    bool carriesKey = false;
};

enum class Transfer { Complete, Failed, TimedOut, TooLarge, Stopped };

struct UpstreamResponse {
    Transfer transfer = Transfer::Failed;
    long status = 0;  // 0 without an answer
    std::string body;
    std::string contentType;
    std::optional<std::string> retryAfter;  // the header's text, as sent
    std::string failure;                    // the client's word for what went wrong; holds no address
};

// `stop` (may be null) ends a transfer early when it becomes true.
UpstreamResponse FetchUpstream(const UpstreamRequest& request, const UpstreamLimits& limits,
                               const std::atomic<bool>* stop = nullptr);

// The HTTP client's process-wide set-up, for main and for test programs:
// made before any thread fetches, undone at the end.
class UpstreamClientLibrary {
public:
    UpstreamClientLibrary();
    ~UpstreamClientLibrary();
    UpstreamClientLibrary(const UpstreamClientLibrary&) = delete;
    UpstreamClientLibrary& operator=(const UpstreamClientLibrary&) = delete;
};

}  // namespace service
