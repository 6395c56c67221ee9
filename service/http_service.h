#pragma once
// The service on the wire: cpp-httplib bound to 127.0.0.1, every request
// logged before it is answered, and faults carried out down to the socket
// (a late answer, a body that stops short, a body far too long).
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <thread>

#include <httplib.h>

#include "service/request_log.h"
#include "service/service_core.h"
#include "service/service_options.h"

namespace service {

class HttpService {
public:
    HttpService(ServiceOptions options, RequestLog& log);
    ~HttpService();
    HttpService(const HttpService&) = delete;
    HttpService& operator=(const HttpService&) = delete;

    // Binds 127.0.0.1 at the port (0 picks a free one). Returns the bound
    // port, or nullopt when the port cannot be had. Connections wait in the
    // queue from here on, so the service counts as ready.
    std::optional<int> Bind(int port);
    // Serves until Stop; returns at once if Stop came first.
    void Run();
    // From any thread; also cuts short any answer that is being delayed.
    void Stop();
    bool IsRunning() const;

private:
    void Answer(const httplib::Request& request, httplib::Response& response);
    void LogRouted(const httplib::Request& request);
    void LogUnrouted(const httplib::Request& request);
    // False when Stop came during the wait.
    bool Wait(std::chrono::milliseconds delay);

    ServiceOptions options_;
    RequestLog& log_;
    httplib::Server server_;
    std::unique_ptr<ServiceCore> core_;  // made by Bind, once the port is known

    std::mutex stopMutex_;
    std::condition_variable stopSignal_;
    bool stopping_ = false;

    // Threads whose current request was logged when it was routed; the
    // library's end-of-request hook logs only the others (requests it
    // refused before routing, such as a target with a second '?').
    std::mutex routedMutex_;
    std::set<std::thread::id> routedThreads_;
};

}  // namespace service
