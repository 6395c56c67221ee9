#pragma once
// One HTTP exchange over libcurl, driven a step at a time so that it keeps
// WinINet's shape: Start returns once the final response's headers are in
// (HttpSendRequest), Read hands out the body as it arrives
// (InternetReadFile). Only a bounded amount of body waits here: past it the
// transfer pauses until it is read.
//
// Time-outs as WinINet has them: connecting is bounded, and once connected
// the exchange fails when no byte at all arrives for the receive time-out;
// a server that keeps sending, however slowly, is waited for until the
// exchange's own deadline, if it has one (libcurl's overall time-out).
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/native/curl_handles.h"

namespace platform::native {

struct TransferLimits {
    std::uint32_t connectTimeoutMs = 0;  // 0: none
    std::uint32_t receiveTimeoutMs = 0;  // most time without a byte; 0: none
    // The whole exchange from Start on, whatever arrives meanwhile (header
    // lines, interim answers, body); 0: none. Bytes that keep coming hold
    // off the receive time-out, never this.
    std::uint32_t totalTimeoutMs = 0;
};

class CurlTransfer {
public:
    // Takes an easy handle set up with the request; the callbacks, the
    // protocol rule and the time-outs are set here.
    CurlTransfer(CurlEasy easy, CurlList headers, const TransferLimits& limits);
    ~CurlTransfer();
    CurlTransfer(const CurlTransfer&) = delete;
    CurlTransfer& operator=(const CurlTransfer&) = delete;

    // Runs the exchange until the final response's headers arrived (true),
    // or it ended without them (false): no connection, a time-out,
    // headers past the bound.
    bool Start();
    // Up to `capacity` bytes of the body: true with read = 0 at its end,
    // false once the transfer broke off and all that came before is out.
    bool Read(char* buffer, std::size_t capacity, std::size_t& read);
    // The final response's status, and its Location header if it has one;
    // 0 and nothing before Start has seen the answer.
    long status() const { return status_; }
    const std::optional<std::string>& location() const { return location_; }

private:
    using Clock = std::chrono::steady_clock;

    static std::size_t OnBody(char* data, std::size_t size, std::size_t count, void* self) noexcept;
    static std::size_t OnHeader(char* data, std::size_t size, std::size_t count, void* self) noexcept;
    static int OnProgress(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t) noexcept;
    static int OnConnected(void* self, char*, char*, int, int) noexcept;

    // Runs the transfer until `ready` holds or it has ended.
    template <class Ready>
    void Drive(Ready ready);
    void Step();
    std::size_t Held() const { return body_.size() - delivered_; }
    void MarkActivity() { lastActivity_ = Clock::now(); }
    bool ReceiveTimedOut() const;

    CurlList headers_;  // the request's own, in use until the easy handle goes
    CurlEasy easy_;
    CurlMulti multi_;
    TransferLimits limits_;

    bool added_ = false;
    bool done_ = false;
    CURLcode result_ = CURLE_OK;
    bool answered_ = false;   // the final response's headers are in
    bool connected_ = false;  // the receive time-out runs
    Clock::time_point lastActivity_;
    std::size_t headerBytes_ = 0;  // of the response under way
    std::optional<std::string> locationUnderWay_;  // of the response under way
    long status_ = 0;
    std::optional<std::string> location_;
    std::string body_;  // arrived and not yet handed out from delivered_ on
    std::size_t delivered_ = 0;
    bool paused_ = false;
};

}  // namespace platform::native
