#include "service/http_service.h"

#include <algorithm>

#include "service/query.h"

namespace service {

namespace {

constexpr std::size_t kChunkBytes = 64 * 1024;

// Hands out the body, repeated as often as it takes, until `sendable`
// bytes have gone; asked for more, it fails, and the library then drops the
// connection.
class BodyProvider {
public:
    BodyProvider(const std::string& body, std::uint64_t sendable)
        : body_(std::make_shared<const std::string>(body)), sendable_(sendable) {}

    bool operator()(std::size_t offset, std::size_t length, httplib::DataSink& sink) const {
        if (offset >= sendable_ || body_->empty()) return false;
        const auto count = static_cast<std::size_t>(std::min<std::uint64_t>({length, sendable_ - offset, kChunkBytes}));
        std::string chunk;
        chunk.reserve(count);
        while (chunk.size() < count) {
            const std::size_t at = (offset + chunk.size()) % body_->size();
            chunk.append(*body_, at, std::min(count - chunk.size(), body_->size() - at));
        }
        return sink.write(chunk.data(), chunk.size());
    }

private:
    std::shared_ptr<const std::string> body_;  // shared: the library copies its provider
    std::uint64_t sendable_;
};

// Every body goes out through a provider with a known length: the library
// then sends the bytes as they are (a plain body it would compress for a
// client that accepts gzip), and a provider can stop short of the length.
void Send(const Delivery& delivery, httplib::Response& response) {
    const Reply& reply = delivery.reply;
    response.status = reply.status;
    std::uint64_t declared = reply.body.size();
    if (delivery.repeatTo) declared = *delivery.repeatTo;
    if (delivery.dropAfter) declared = std::max<std::uint64_t>(reply.body.size(), *delivery.dropAfter + 1);
    if (declared == 0) {
        response.set_content("", reply.contentType);
        return;
    }
    const std::uint64_t sendable = delivery.dropAfter ? *delivery.dropAfter : declared;
    response.set_content_provider(static_cast<std::size_t>(declared), reply.contentType,
                                  BodyProvider(reply.body, sendable));
}

// The library's own choice, SO_REUSEPORT, would let a second service share
// the port with a running one and take some of its requests; a test must
// see that port as taken instead.
void ReuseAddressOnly(socket_t socket) {
    int yes = 1;
    setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
}

RequestLine LineOf(const httplib::Request& request) {
    return {request.method, request.target, request.version, request.get_header_value("User-Agent")};
}

}  // namespace

HttpService::HttpService(ServiceOptions options, RequestLog& log) : options_(std::move(options)), log_(log) {
    server_.set_socket_options(ReuseAddressOnly);
    server_.set_pre_routing_handler([this](const httplib::Request& request, httplib::Response&) {
        LogRouted(request);
        return httplib::Server::HandlerResponse::Unhandled;
    });
    server_.set_logger([this](const httplib::Request& request, const httplib::Response&) { LogUnrouted(request); });
    server_.Get(".*",
                [this](const httplib::Request& request, httplib::Response& response) { Answer(request, response); });
}

HttpService::~HttpService() { Stop(); }

std::optional<int> HttpService::Bind(int port) {
    int bound = -1;
    if (port == 0) {
        bound = server_.bind_to_any_port(kLoopbackHost);
    } else if (server_.bind_to_port(kLoopbackHost, port)) {
        bound = port;
    }
    if (bound <= 0) return std::nullopt;
    core_ = std::make_unique<ServiceCore>(options_, bound);
    return bound;
}

void HttpService::Run() {
    {
        std::lock_guard<std::mutex> lock(stopMutex_);
        if (stopping_ || !core_) return;
    }
    server_.listen_after_bind();
}

void HttpService::Stop() {
    {
        std::lock_guard<std::mutex> lock(stopMutex_);
        stopping_ = true;
    }
    stopSignal_.notify_all();
    server_.stop();
}

bool HttpService::IsRunning() const { return server_.is_running(); }

void HttpService::Answer(const httplib::Request& request, httplib::Response& response) {
    const Target target = SplitTarget(request.target);
    const Delivery delivery = core_->Respond(target.path, target.query);
    if (delivery.delay.count() > 0 && !Wait(delivery.delay)) return;
    Send(delivery, response);
}

void HttpService::LogRouted(const httplib::Request& request) {
    log_.Write(LineOf(request));
    std::lock_guard<std::mutex> lock(routedMutex_);
    routedThreads_.insert(std::this_thread::get_id());
}

void HttpService::LogUnrouted(const httplib::Request& request) {
    {
        std::lock_guard<std::mutex> lock(routedMutex_);
        if (routedThreads_.erase(std::this_thread::get_id()) > 0) return;
    }
    log_.Write(LineOf(request));
}

bool HttpService::Wait(std::chrono::milliseconds delay) {
    std::unique_lock<std::mutex> lock(stopMutex_);
    return !stopSignal_.wait_for(lock, delay, [this] { return stopping_; });
}

}  // namespace service
