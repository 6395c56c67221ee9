#pragma once
// A market-data source on 127.0.0.1 for the tests: answers whatever the test
// says, for each request, and remembers every request it was sent. Answers
// may be delayed (a slow or hanging source); stopping ends every delay.
#include <httplib.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace service_test {

struct FakeRequest {
    std::string path;
    std::map<std::string, std::string> query;  // decoded
    std::string target;                        // path and query as sent
    std::map<std::string, std::string> headers;
};

struct FakeAnswer {
    int status = 200;
    std::string body;
    std::string contentType = "application/json";
    std::map<std::string, std::string> headers = {};
    std::chrono::milliseconds delay = std::chrono::milliseconds(0);
};

class FakeSource {
public:
    using Answerer = std::function<FakeAnswer(const FakeRequest&)>;

    explicit FakeSource(Answerer answerer = nullptr);
    ~FakeSource();
    FakeSource(const FakeSource&) = delete;
    FakeSource& operator=(const FakeSource&) = delete;

    // "http://127.0.0.1:PORT", for --provider-url.
    std::string Base() const;
    void SetAnswerer(Answerer answerer);
    // The same answer to every request.
    void AnswerAlways(FakeAnswer answer);
    std::vector<FakeRequest> Requests() const;
    std::size_t RequestCount() const;
    // Requests whose path ends with the text.
    std::size_t RequestsFor(const std::string& pathEnd) const;

private:
    void Handle(const httplib::Request& request, httplib::Response& response);

    httplib::Server server_;
    int port_ = 0;
    std::thread thread_;
    mutable std::mutex mutex_;
    std::condition_variable stopped_;
    bool stopping_ = false;
    Answerer answerer_;
    std::vector<FakeRequest> requests_;
};

// A body of the documented shape for each source.
std::string ChartBody(const std::string& symbol, double price, double previousClose, const std::string& currency = "USD",
                      int gmtOffset = -18000, const std::string& zone = "America/New_York");
std::string FinnhubBody(double price, double previousClose);
std::string TwelveDataBody(const std::string& symbol, double close, double previousClose,
                           const std::string& exchange = "NYSE");
// What the chart API answers for a symbol it does not know (with status 404).
std::string ChartNotFoundBody();
// A whole web page, as a source behind a proof-of-work wall answers with 200.
std::string HtmlWallPage();

}  // namespace service_test
