#include "service/server/http_service.h"

#include "service/http/loopback_sockets.h"
#include "service/http/query.h"
#include "service/http/request_reader.h"
#include "service/http/wire_writer.h"

namespace service {

namespace {

// A client that stops reading cannot hold a thread for longer than this.
constexpr std::chrono::seconds kSendPatience{60};
// After a failed accept (out of descriptors, say), before trying again.
constexpr std::chrono::milliseconds kAcceptRetryPause{50};
const char* const kAllowedMethods = "GET";

Delivery Refusal(int status) {
    Reply reply{status, kPlainType, std::to_string(status) + " " + "request refused\n"};
    if (status == kStatusMethodNotAllowed) reply.headers.push_back({"Allow", kAllowedMethods});
    return ApplyFault(Fault{}, reply);
}

Delivery Busy() {
    return ApplyFault(Fault{}, Reply{kStatusUnavailable, kPlainType, "too many open connections\n"});
}

}  // namespace

HttpService::HttpService(ServiceOptions options, RequestLog& log)
    : options_(std::move(options)),
      log_(log),
      started_(std::chrono::steady_clock::now()),
      connections_(options_.connectionLimit + kControlReserve) {}

HttpService::~HttpService() {
    Stop();
    connections_.EndAll();
}

std::optional<int> HttpService::Bind(int port) {
    auto listener = ListenOn(options_.listenAddress, port);
    auto unused = ReserveUnusedPort();
    if (!listener || !unused) return std::nullopt;
    listener_ = std::move(listener->socket);
    unusedPort_ = std::move(unused->socket);
    core_ = std::make_unique<ServiceCore>(options_, listener->port, unused->port);
    return listener->port;
}

void HttpService::Run() {
    if (!core_ || stop_.IsRaised()) return;
    running_ = true;
    while (stop_.WaitFor(listener_.fd(), Watch::Readable, std::chrono::steady_clock::time_point::max()) ==
           StopSignal::Woken::Ready) {
        connections_.Reap();
        Accept();
    }
    connections_.EndAll();
    running_ = false;
}

void HttpService::Stop() { stop_.Raise(); }

bool HttpService::IsRunning() const { return running_; }

std::size_t HttpService::OpenConnections() const { return connections_.OpenCount(); }

void HttpService::Accept() {
    bool outOfResources = false;
    Socket socket(AcceptConnection(listener_.fd(), outOfResources));
    if (!socket.valid()) {
        if (outOfResources) stop_.Sleep(kAcceptRetryPause);
        return;
    }
    LimitSendTime(socket.fd(), kSendPatience);
    const std::uint64_t connection = ++lastConnection_;
    const bool beyondLimit = connections_.OpenCount() >= options_.connectionLimit;
    const bool started = connections_.Start(
        socket, [this, connection, beyondLimit](SocketHandle fd) { return Serve(fd, connection, beyondLimit); });
    if (!started) {
        // Not even the control reserve is left: answer without reading.
        Deliver(socket.fd(), Busy(), stop_);
        EndConnection(socket, Ending::Graceful);
    }
}

Ending HttpService::Serve(SocketHandle fd, std::uint64_t connection, bool beyondLimit) {
    const ReceivedHead received = ReceiveRequestHead(fd, stop_);
    if (received.arrival == HeadArrival::Missing) return Ending::Graceful;
    const RequestHead head = ParseRequestHead(received.text);
    log_.Write({ElapsedMs(), connection, head.method, head.target, head.version, head.userAgent});

    const int refusal = received.arrival == HeadArrival::TooLarge ? kStatusHeadersTooLarge : RefusalStatus(head);
    if (refusal != 0) return Deliver(fd, Refusal(refusal), stop_);
    const Target target = SplitTarget(OriginForm(head.target));
    if (beyondLimit && !IsControlPath(target.path)) return Deliver(fd, Busy(), stop_);
    return Deliver(fd, core_->Respond(target.path, target.query), stop_);
}

std::uint64_t HttpService::ElapsedMs() const {
    return static_cast<std::uint64_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started_).count());
}

}  // namespace service
