#pragma once
// A recording fake of WinINet for the native tests. Every call is logged as
// one line "Name(arg, ...)" with handles written as s1 (session), c1
// (connection) and r1 (request), flags in hex, and " -> result" where the
// call returns something. A test serves bodies per address and makes any
// call fail, then reads the log and the handles still open.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/fake/call_log.h"
#include "platform/internet.h"

namespace platform::fake {

class FakeInternet final : public CallLog, public Internet {
public:

    // ---- Answers -----------------------------------------------------------
    // The body the server at the address's host and port sends for its path
    // and query. A request for an address nobody serves cannot be sent, as
    // when no server answers.
    void Serve(const std::string& address, std::string body);
    // A redirect answer at the address: the status, and the Location header
    // unless there is none; no body.
    void Redirect(const std::string& address, std::uint32_t status, std::optional<std::string> location);
    // What InternetCanonicalizeUrl makes of an address; any other address
    // comes out as it went in.
    std::map<std::string, std::string> canonicalForms;

    // Called as each request is sent, with its path and query, before it is
    // answered: a test holds a worker's download there.
    std::function<void(const std::string& object)> onSend;

    // ---- Failures ----------------------------------------------------------
    bool openFails = false;
    bool canonicalizeFails = false;
    bool crackFails = false;
    bool connectFails = false;
    bool openRequestFails = false;
    bool sendFails = false;
    bool setOptionFails = false;
    bool queryFails = false;
    // Out of memory inside the platform: InternetOpen throws std::bad_alloc,
    // or every read once this many bytes of the body have been delivered.
    bool openThrows = false;
    std::optional<std::size_t> readThrowsAfter;
    // Once this many bytes of the body have been delivered, every further
    // read fails.
    std::optional<std::size_t> readFailsAfter;
    // The read that reaches readFailsAfter reports the failure along with
    // the bytes it delivered, as a WinINet read that times out part way may.
    bool failingReadDelivers = false;
    // The most bytes one read delivers, as a network hands out a body in
    // whatever packets arrive.
    std::size_t bytesPerRead = SIZE_MAX;
    // The most bytes each of the next reads delivers, in turn; once they are
    // used up, bytesPerRead holds again.
    std::deque<std::size_t> readSizes;
    // Waiting for the body fails, as when nothing comes within the receive
    // time-out.
    bool queryDataFails = false;

    // ---- Time --------------------------------------------------------------
    // What TickCount answers. Each send and each read moves it on by the
    // time given, as a slow server makes them take.
    std::uint32_t tickCount = 0;
    std::uint32_t msPerSend = 0;
    std::uint32_t msPerRead = 0;

    // ---- Handles -----------------------------------------------------------
    // Handles opened and not yet closed, by name ("s1", "c1", "r1").
    std::vector<std::string> OpenHandleNames() const;
    std::string NameOf(InternetHandle handle) const;
    // The options set on each handle, by its name: option -> value.
    std::map<std::string, std::map<std::uint32_t, std::uint32_t>> options;
    // The deadline given to each request, by its name, in milliseconds.
    std::map<std::string, std::uint32_t> deadlines;

    // ---- Internet ----------------------------------------------------------
    InternetHandle Open(const char* agent, std::uint32_t accessType, const char* proxy, const char* proxyBypass,
                        std::uint32_t flags) override;
    bool CanonicalizeUrl(const char* url, char* buffer, std::uint32_t& length, std::uint32_t flags) override;
    bool CrackUrl(const char* url, std::uint32_t flags, UrlParts& parts) override;
    InternetHandle Connect(InternetHandle session, const char* server, std::uint16_t port, const char* userName,
                           const char* password, std::uint32_t service, std::uint32_t flags,
                           std::uintptr_t context) override;
    InternetHandle OpenRequest(InternetHandle connection, const char* verb, const char* object, const char* version,
                               const char* referrer, const char* const* acceptTypes, std::uint32_t flags,
                               std::uintptr_t context) override;
    bool SendRequest(InternetHandle request, const char* headers, std::uint32_t headersLength, const void* optional,
                     std::uint32_t optionalLength) override;
    bool ReadFile(InternetHandle request, void* buffer, std::uint32_t toRead, std::uint32_t& read) override;
    // Tells what the next read delivers.
    bool QueryDataAvailable(InternetHandle request, std::uint32_t& available) override;
    std::uint32_t TickCount() override { return tickCount; }
    bool QueryInfo(InternetHandle request, std::uint32_t infoLevel, void* buffer, std::uint32_t& length) override;
    bool CloseHandle(InternetHandle handle) override;
    bool SetOption(InternetHandle handle, std::uint32_t option, std::uint32_t value) override;
    // Recorded only: the fake's answers never wait.
    bool SetDeadline(InternetHandle request, std::uint32_t milliseconds) override;

    // The fake's own address splitter: "scheme://[user[:password]@]host[:port]
    // [/path][?query][#fragment]"; nothing when there is no scheme or host or
    // the port is not a number.
    static std::optional<UrlParts> Split(const std::string& url);

private:
    enum class Kind { Session, Connection, Request };
    struct Entry {
        Kind kind;
        std::string name;
        InternetHandle parent = nullptr;
        std::string server;  // connection: "host:port"
        std::string object;  // request
        bool sent = false;
        std::string body;
        std::size_t delivered = 0;
        std::uint32_t status = 0;
        std::optional<std::string> location;
    };
    struct Answer {
        std::uint32_t status = 0;
        std::optional<std::string> location;
        std::string body;
    };

    InternetHandle NewHandle(Kind kind, InternetHandle parent);
    // The most bytes the next read delivers, before the body's end.
    std::size_t NextReadLimit() const { return readSizes.empty() ? bytesPerRead : readSizes.front(); }
    Entry* Find(InternetHandle handle, Kind kind);

    void StoreAnswer(const std::string& address, Answer answer);

    std::map<std::string, Answer> answers_;  // "host:port/object" -> answer
    std::map<InternetHandle, Entry> open_;
    std::uintptr_t nextHandle_ = 1;
    std::map<Kind, int> counts_;
    std::map<InternetHandle, std::string> names_;
};

}  // namespace platform::fake
