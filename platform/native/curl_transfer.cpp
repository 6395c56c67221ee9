#include "platform/native/curl_transfer.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <strings.h>

namespace platform::native {

namespace {

// Only plain HTTP: the bar's addresses are all "http://".
constexpr char kProtocols[] = "http";
// The headers of one response are bounded, far above any real server's, so
// a server cannot make the exchange hold headers without end.
constexpr std::size_t kMostHeaderBytes = 256 * 1024;
// Body that may wait here unread before the transfer pauses.
constexpr std::size_t kMostHeldBytes = 64 * 1024;
// How long one wait for the network lasts, so the time-outs are looked at.
constexpr int kPollMs = 100;
constexpr long kFirstInterimStatus = 100;
constexpr long kFirstFinalStatus = 200;
constexpr char kLocation[] = "location:";

// A header's value without the blanks and line end around it.
std::string Trimmed(std::string_view value) {
    constexpr std::string_view kBlanks = " \t\r\n";
    const std::size_t first = value.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) return std::string();
    return std::string(value.substr(first, value.find_last_not_of(kBlanks) - first + 1));
}

bool IsBlankLine(const char* data, std::size_t length) {
    return (length == 2 && data[0] == '\r' && data[1] == '\n') || (length == 1 && data[0] == '\n');
}

}  // namespace

CurlTransfer::CurlTransfer(CurlEasy easy, CurlList headers, const TransferLimits& limits)
    : headers_(std::move(headers)), easy_(std::move(easy)), multi_(curl_multi_init()), limits_(limits) {
    CURL* curl = easy_.get();
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, kProtocols);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(limits_.connectTimeoutMs));
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, static_cast<long>(limits_.totalTimeoutMs));
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, OnBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, this);
    curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, OnHeader);
    curl_easy_setopt(curl, CURLOPT_HEADERDATA, this);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, OnProgress);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, this);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl, CURLOPT_PREREQFUNCTION, OnConnected);
    curl_easy_setopt(curl, CURLOPT_PREREQDATA, this);
}

CurlTransfer::~CurlTransfer() {
    if (added_) curl_multi_remove_handle(multi_.get(), easy_.get());
}

bool CurlTransfer::Start() {
    if (!multi_ || curl_multi_add_handle(multi_.get(), easy_.get()) != CURLM_OK) return false;
    added_ = true;
    Drive([this] { return answered_; });
    return answered_;
}

bool CurlTransfer::Read(char* buffer, std::size_t capacity, std::size_t& read) {
    read = 0;
    if (Held() == 0 && !done_) {
        // The time the caller took between reads is not the server's.
        MarkActivity();
        if (paused_) {
            paused_ = false;
            curl_easy_pause(easy_.get(), CURLPAUSE_CONT);
        }
        Drive([this] { return Held() > 0; });
    }
    if (Held() == 0) return result_ == CURLE_OK;
    read = std::min(capacity, Held());
    std::memcpy(buffer, body_.data() + delivered_, read);
    delivered_ += read;
    if (delivered_ == body_.size()) {
        body_.clear();
        delivered_ = 0;
    }
    return true;
}

template <class Ready>
void CurlTransfer::Drive(Ready ready) {
    while (!done_ && !ready()) {
        Step();
        if (done_ || ready()) break;
        if (curl_multi_poll(multi_.get(), nullptr, 0, kPollMs, nullptr) != CURLM_OK) {
            done_ = true;
            result_ = CURLE_RECV_ERROR;
        }
    }
}

void CurlTransfer::Step() {
    int running = 0;
    if (curl_multi_perform(multi_.get(), &running) != CURLM_OK) {
        done_ = true;
        result_ = CURLE_OUT_OF_MEMORY;
        return;
    }
    int queued = 0;
    while (const CURLMsg* message = curl_multi_info_read(multi_.get(), &queued)) {
        if (message->msg != CURLMSG_DONE) continue;
        done_ = true;
        result_ = message->data.result;
        // Finished whole: whatever the headers looked like, that was the answer.
        if (result_ == CURLE_OK) answered_ = true;
    }
}

bool CurlTransfer::ReceiveTimedOut() const {
    return connected_ && limits_.receiveTimeoutMs != 0 &&
           Clock::now() - lastActivity_ > std::chrono::milliseconds(limits_.receiveTimeoutMs);
}

std::size_t CurlTransfer::OnBody(char* data, std::size_t size, std::size_t count, void* self) noexcept {
    auto& transfer = *static_cast<CurlTransfer*>(self);
    const std::size_t length = size * count;
    transfer.MarkActivity();
    transfer.answered_ = true;
    if (transfer.Held() >= kMostHeldBytes) {
        transfer.paused_ = true;
        return CURL_WRITEFUNC_PAUSE;
    }
    try {
        transfer.body_.append(data, length);
    } catch (...) {
        return 0;  // no room: the transfer fails, as a broken connection does
    }
    return length;
}

std::size_t CurlTransfer::OnHeader(char* data, std::size_t size, std::size_t count, void* self) noexcept {
    auto& transfer = *static_cast<CurlTransfer*>(self);
    const std::size_t length = size * count;
    transfer.MarkActivity();
    transfer.headerBytes_ += length;
    if (transfer.headerBytes_ > kMostHeaderBytes) return 0;
    if (!transfer.locationUnderWay_ && length >= sizeof kLocation - 1 &&
        strncasecmp(data, kLocation, sizeof kLocation - 1) == 0) {
        try {
            transfer.locationUnderWay_ = Trimmed(std::string_view(data, length).substr(sizeof kLocation - 1));
        } catch (...) {
            return 0;  // no room: the transfer fails
        }
    }
    if (!IsBlankLine(data, length)) return length;

    // The end of one response's headers: the final one, unless it is interim.
    long status = 0;
    curl_easy_getinfo(transfer.easy_.get(), CURLINFO_RESPONSE_CODE, &status);
    const bool interim = status >= kFirstInterimStatus && status < kFirstFinalStatus;
    if (!interim && !transfer.answered_) {
        transfer.answered_ = true;
        transfer.status_ = status;
        transfer.location_ = std::move(transfer.locationUnderWay_);
    }
    transfer.headerBytes_ = 0;
    transfer.locationUnderWay_.reset();
    return length;
}

int CurlTransfer::OnProgress(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t) noexcept {
    return static_cast<CurlTransfer*>(self)->ReceiveTimedOut() ? 1 : 0;
}

int CurlTransfer::OnConnected(void* self, char*, char*, int, int) noexcept {
    auto& transfer = *static_cast<CurlTransfer*>(self);
    transfer.connected_ = true;
    transfer.MarkActivity();
    return CURL_PREREQFUNC_OK;
}

}  // namespace platform::native
