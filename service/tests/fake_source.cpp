#include "fake_source.h"

#include <stdexcept>

namespace service_test {

namespace {

constexpr auto kStartPatience = std::chrono::seconds(10);
constexpr auto kPoll = std::chrono::milliseconds(2);
// 2026-12-10 21:00:00 UTC: 4:00PM in New York (EST).
constexpr long long kMarketClose = 1796936400;
constexpr int kSeriesPoints = 78;  // 9:30AM to 4:00PM in five-minute steps
constexpr long long kFiveMinutes = 300;

}  // namespace

FakeSource::FakeSource(Answerer answerer) : answerer_(std::move(answerer)) {
    server_.Get(".*", [this](const httplib::Request& request, httplib::Response& response) { Handle(request, response); });
    port_ = server_.bind_to_any_port("127.0.0.1");
    if (port_ <= 0) throw std::runtime_error("the fake source cannot bind 127.0.0.1");
    thread_ = std::thread([this] { server_.listen_after_bind(); });
    const auto deadline = std::chrono::steady_clock::now() + kStartPatience;
    while (!server_.is_running() && std::chrono::steady_clock::now() < deadline) std::this_thread::sleep_for(kPoll);
}

FakeSource::~FakeSource() {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    stopped_.notify_all();
    server_.stop();
    thread_.join();
}

std::string FakeSource::Base() const { return "http://127.0.0.1:" + std::to_string(port_); }

void FakeSource::SetAnswerer(Answerer answerer) {
    const std::lock_guard<std::mutex> lock(mutex_);
    answerer_ = std::move(answerer);
}

void FakeSource::AnswerAlways(FakeAnswer answer) {
    SetAnswerer([answer](const FakeRequest&) { return answer; });
}

std::vector<FakeRequest> FakeSource::Requests() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    return requests_;
}

std::size_t FakeSource::RequestCount() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    return requests_.size();
}

std::size_t FakeSource::RequestsFor(const std::string& pathEnd) const {
    const std::lock_guard<std::mutex> lock(mutex_);
    std::size_t count = 0;
    for (const FakeRequest& request : requests_) {
        const std::string& path = request.path;
        if (path.size() >= pathEnd.size() && path.compare(path.size() - pathEnd.size(), pathEnd.size(), pathEnd) == 0) {
            ++count;
        }
    }
    return count;
}

void FakeSource::Handle(const httplib::Request& request, httplib::Response& response) {
    FakeRequest seen;
    seen.path = request.path;
    seen.target = request.target;
    for (const auto& [name, value] : request.params) seen.query[name] = value;
    for (const auto& [name, value] : request.headers) seen.headers[name] = value;
    Answerer answerer;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        requests_.push_back(seen);
        answerer = answerer_;
    }
    const FakeAnswer answer = answerer ? answerer(seen) : FakeAnswer{404, "{}"};
    if (answer.delay.count() > 0) {
        std::unique_lock<std::mutex> lock(mutex_);
        stopped_.wait_for(lock, answer.delay, [this] { return stopping_; });
    }
    response.status = answer.status;
    for (const auto& [name, value] : answer.headers) response.set_header(name, value);
    response.set_content(answer.body, answer.contentType.c_str());
}

std::string ChartBody(const std::string& symbol, double price, double previousClose, const std::string& currency,
                      int gmtOffset, const std::string& zone) {
    std::string times;
    std::string closes;
    std::string opens;
    const long long first = kMarketClose - (kSeriesPoints - 1) * kFiveMinutes;
    for (int i = 0; i < kSeriesPoints; ++i) {
        const std::string sep = i == 0 ? "" : ",";
        times += sep + std::to_string(first + i * kFiveMinutes);
        // A null now and then, as the API sends for minutes without trades.
        const double close = previousClose + (price - previousClose) * i / (kSeriesPoints - 1);
        closes += sep + (i % 13 == 5 ? std::string("null") : std::to_string(close));
        opens += sep + (i == 0 ? std::to_string(previousClose + 0.25) : std::string("null"));
    }
    return R"({"chart":{"result":[{"meta":{"currency":")" + currency + R"(","symbol":")" + symbol +
           R"(","exchangeName":"NYQ","instrumentType":"EQUITY","regularMarketTime":)" + std::to_string(kMarketClose) +
           R"(,"gmtoffset":)" + std::to_string(gmtOffset) + R"(,"timezone":"EST","exchangeTimezoneName":")" + zone +
           R"(","regularMarketPrice":)" + std::to_string(price) + R"(,"regularMarketDayHigh":)" +
           std::to_string(price + 1) + R"(,"regularMarketDayLow":)" + std::to_string(previousClose - 1) +
           R"(,"regularMarketVolume":4321000,"chartPreviousClose":)" + std::to_string(previousClose) +
           R"(,"previousClose":)" + std::to_string(previousClose) +
           R"(,"dataGranularity":"5m","range":"1d"},"timestamp":[)" + times +
           R"(],"indicators":{"quote":[{"open":[)" + opens + R"(],"close":[)" + closes + R"(]}]}}],"error":null}})";
}

std::string FinnhubBody(double price, double previousClose) {
    return R"({"c":)" + std::to_string(price) + R"(,"d":)" + std::to_string(price - previousClose) +
           R"(,"dp":1.0,"h":)" + std::to_string(price + 1) + R"(,"l":)" + std::to_string(previousClose - 1) +
           R"(,"o":)" + std::to_string(previousClose + 0.25) + R"(,"pc":)" + std::to_string(previousClose) +
           R"(,"t":)" + std::to_string(kMarketClose) + "}";
}

std::string TwelveDataBody(const std::string& symbol, double close, double previousClose, const std::string& exchange) {
    return R"({"symbol":")" + symbol + R"(","name":"Some Company","exchange":")" + exchange +
           R"(","currency":"USD","datetime":"2026-12-10","timestamp":)" + std::to_string(kMarketClose) +
           R"(,"open":")" + std::to_string(previousClose + 0.25) + R"(","high":")" + std::to_string(close + 1) +
           R"(","low":")" + std::to_string(previousClose - 1) + R"(","close":")" + std::to_string(close) +
           R"(","volume":"1234567","previous_close":")" + std::to_string(previousClose) + R"(","change":")" +
           std::to_string(close - previousClose) + R"(","percent_change":"1.0","is_market_open":false})";
}

std::string ChartNotFoundBody() {
    return R"({"chart":{"result":null,"error":{"code":"Not Found","description":"No data found, symbol may be delisted"}}})";
}

std::string HtmlWallPage() {
    return "<!DOCTYPE html>\n<html><head><title>Just a moment...</title></head>\n"
           "<body><p>Checking your browser before accessing the site.</p></body></html>\n";
}

}  // namespace service_test
