#pragma once
// Hostile servers and what HttpGetText must yield for each, shared by the
// native (libcurl) and the Windows (WinINet under Wine) tests so both back
// ends are held to one table; where Wine's WinINet parts from it, the case
// says so. The time-outs and the deadline are shortened so the table runs
// in seconds; the defaults are checked on their own.
#include <algorithm>
#include <cstdio>
#include <cstddef>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "hostile_server.h"
#include "http_fault_cases.h"
#include "quotes/http_get_text.h"

namespace http_hostile_cases {

using http_fault_cases::Repeated;

inline const std::string kError = quotes::kDownloadErrorText;
// The body the servers send, and what the download makes of it.
inline const std::string kBody = "Alpha,Beta\r\nGamma,Delta\r\n";
inline const std::string kText = "Alpha,Beta\nGamma,Delta\n";
inline const std::string kHead = "HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n";
inline const std::string kEndOfHead = "\r\n";
inline const std::string kManyLine = "X-Many: x\r\n";

constexpr int kConnectTimeoutMs = 2000;
constexpr int kReceiveTimeoutMs = 1000;
// Twice the time of the slowest case of the table.
constexpr int kDeadlineMs = 5000;
// Well inside the receive time-out, so a trickle never looks idle.
constexpr int kTricklePauseMs = 100;
// The connections a case may take: one, a second after one redirect, and
// for a redirect loop the first request and the ten redirects followed.
constexpr int kOneConnection = 1;
constexpr int kTwoConnections = 2;
constexpr int kMostRedirectConnections = 11;

inline quotes::DownloadLimits ShortLimits() {
    quotes::DownloadLimits limits;
    limits.connectTimeoutMs = kConnectTimeoutMs;
    limits.receiveTimeoutMs = kReceiveTimeoutMs;
    limits.deadlineMs = kDeadlineMs;
    return limits;
}

// A server that trickles a body in for far longer than the deadline, each
// byte well inside the receive time-out: only the deadline ends it.
constexpr int kPastDeadlinePauseMs = 300;
constexpr std::size_t kPastDeadlineBytes = 100;  // 30 seconds of it
inline const std::string kPastDeadlineBody(kPastDeadlineBytes, 'x');

inline void TricklePastTheDeadline(hostile::Peer& p) {
    p.Send(kHead + kEndOfHead);
    p.Trickle(kPastDeadlineBody, kPastDeadlinePauseMs);
}

// What a download of it yields: the part that came before the deadline,
// and it ends no later than one receive time-out after the deadline (and a
// little time for the machine).
inline bool EndedAtTheDeadline(const std::string& text, long long tookMs, std::string& why) {
    constexpr long long kSlackMs = 1000;
    const bool part = !text.empty() && text.size() < kPastDeadlineBody.size() &&
                      kPastDeadlineBody.compare(0, text.size(), text) == 0;
    if (!part) {
        why = "not a part of the body: \"" + text.substr(0, 200) + "\"";
        return false;
    }
    // The client now ends the transfer at the deadline itself, by its own
    // clock: a millisecond or two of rounding either way.
    constexpr long long kClockSlackMs = 50;
    if (tookMs < kDeadlineMs - kClockSlackMs || tookMs > kDeadlineMs + kReceiveTimeoutMs + kSlackMs) {
        why = "ended after " + std::to_string(tookMs) + " ms";
        return false;
    }
    return true;
}

// Servers that never finish an answer's headers, each line well inside the
// receive time-out, for far longer than the deadline: one trickles header
// lines, one sends interim answers ("100 Continue") one after another. Only
// the deadline ends them, even in the middle of the send; a client that
// waited for them all would get the body at the end.
constexpr int kPastDeadlineLines = kPastDeadlineBytes;
inline const std::string kSlowHeaderLine = "X-Slow: x\r\n";
inline const std::string kInterimAnswer = "HTTP/1.1 100 Continue\r\n\r\n";

struct DeadlineCase {
    std::string name;
    hostile::Answer answer;
};

inline std::vector<DeadlineCase> HeadersPastTheDeadline() {
    return {
        {"trickles header lines",
         [](hostile::Peer& p) {
             if (!p.Send("HTTP/1.0 200 OK\r\n")) return;
             for (int i = 0; i < kPastDeadlineLines; ++i) {
                 if (!p.Send(kSlowHeaderLine) || !p.Pause(kPastDeadlinePauseMs)) return;
             }
             p.Send(kEndOfHead + kBody);
         }},
        {"sends interim answers",
         [](hostile::Peer& p) {
             for (int i = 0; i < kPastDeadlineLines; ++i) {
                 if (!p.Send(kInterimAnswer) || !p.Pause(kPastDeadlinePauseMs)) return;
             }
             p.Send(kHead + kEndOfHead + kBody);
         }},
    };
}

// What a download of them yields: the error text, no answer having come,
// within a little time for the machine of the deadline.
inline bool EndedByTheDeadline(const std::string& text, long long tookMs, std::string& why) {
    constexpr long long kSlackMs = 1000;
    if (text != kError) {
        why = "yielded \"" + text.substr(0, 200) + "\"";
        return false;
    }
    if (tookMs < kDeadlineMs - kSlackMs || tookMs > kDeadlineMs + kSlackMs) {
        why = "ended after " + std::to_string(tookMs) + " ms";
        return false;
    }
    return true;
}

inline std::string WithLength(const std::string& body) {
    return kHead + "Content-Length: " + std::to_string(body.size()) + "\r\n" + kEndOfHead;
}

inline std::string Redirect(const std::string& location) {
    return "HTTP/1.0 302 Found\r\nLocation: " + location + "\r\nContent-Length: 0\r\n" + kEndOfHead;
}

// Where Wine's WinINet parts from a case: what it yields instead.
// (Redirects are not among them: the download follows those itself.)
struct WineDeparture {
    std::optional<std::string> text;
};

inline WineDeparture WineYields(std::string text) {
    WineDeparture wine;
    wine.text = std::move(text);
    return wine;
}

struct HostileCase {
    HostileCase(std::string name, hostile::Answer answer, std::string text, int mostConnections = kOneConnection,
                WineDeparture wine = WineDeparture())
        : name(std::move(name)), answer(std::move(answer)), text(std::move(text)), mostConnections(mostConnections),
          wine(std::move(wine)) {}

    std::string name;
    hostile::Answer answer;
    std::string text;  // what HttpGetText yields
    int mostConnections;
    WineDeparture wine;
};

// One line of figures per case, for the report: what the download yielded,
// how long it took and how many connections it made.
inline void PrintFigures(const char* backEnd, const HostileCase& c, const std::string& text, long long ms,
                         int connections) {
    const std::string yielded = text == kError  ? "error text"
                                : text.empty()  ? "empty text"
                                : text == kText ? "the body"
                                                : std::to_string(text.size()) + " bytes";
    std::printf("hostile | %s | %s | %s | %lld ms | %d connection%s\n", backEnd, c.name.c_str(), yielded.c_str(), ms,
                connections, connections == 1 ? "" : "s");
}

inline std::vector<HostileCase> HostileCases() {
    constexpr std::size_t kOneMegabyte = 1024 * 1024;
    constexpr std::size_t kBigBody = 10 * kOneMegabyte;
    constexpr std::size_t kHeaderLines = 200000;
    static const int deadPort = hostile::DeadPort();
    const std::string cut = "Alpha,Beta\r\nGa";
    const std::string cutText = "Alpha,Beta\nGa";
    return {
        {"answers", [](hostile::Peer& p) { p.Send(kHead + kEndOfHead + kBody); }, kText},
        {"hangs after the request", [](hostile::Peer& p) { p.Hang(); }, kError},
        // Wine's WinINet sends it off as answered; the missing status tells.
        {"closes without an answer", [](hostile::Peer&) {}, kError},
        {"resets without an answer", [](hostile::Peer& p) { p.Reset(); }, kError},
        {"stalls after the headers", [](hostile::Peer& p) { p.Send(WithLength(kBody)), p.Hang(); }, ""},
        {"stalls in the body", [cut](hostile::Peer& p) { p.Send(WithLength(kBody) + cut), p.Hang(); }, cutText},
        {"cuts the body short", [cut](hostile::Peer& p) { p.Send(WithLength(kBody) + cut); }, cutText},
        {"trickles the body", [](hostile::Peer& p) { p.Send(kHead + kEndOfHead), p.Trickle(kBody, kTricklePauseMs); },
         kText},
        {"trickles the headers",
         [](hostile::Peer& p) { p.Trickle(WithLength(kBody), kTricklePauseMs / 4), p.Send(kBody); }, kText},
        {"redirects once",
         [](hostile::Peer& p) {
             p.Send(p.target() == "/moved" ? kHead + kEndOfHead + kBody : Redirect(p.Url("/moved")));
         },
         kText, kTwoConnections},
        {"redirects in a loop", [](hostile::Peer& p) { p.Send(Redirect(p.Url("/loop" + p.target()))); }, kError,
         kMostRedirectConnections},
        {"redirects to itself, relatively", [](hostile::Peer& p) { p.Send(Redirect("getmessage.asp")); }, kError,
         kMostRedirectConnections},
        // To this very server: a client that followed would show as a second connection.
        {"redirects to https",
         [](hostile::Peer& p) { p.Send(Redirect("https://127.0.0.1:" + std::to_string(p.serverPort()) + "/")); },
         kError},
        {"redirects to ftp",
         [](hostile::Peer& p) { p.Send(Redirect("ftp://127.0.0.1:" + std::to_string(p.serverPort()) + "/")); },
         kError},
        {"redirects to a dead port",
         [](hostile::Peer& p) { p.Send(Redirect("http://127.0.0.1:" + std::to_string(deadPort) + "/")); }, kError},
        {"sends a megabyte header line",
         [](hostile::Peer& p) { p.Send(kHead + "X-Long: " + std::string(kOneMegabyte, 'x') + "\r\n" + kEndOfHead + kBody); },
         kError, kOneConnection, WineYields(kText)},
        {"sends 200000 header lines",
         [](hostile::Peer& p) { p.Send(kHead + Repeated(kManyLine, kHeaderLines * kManyLine.size()) + kEndOfHead + kBody); },
         kError, kOneConnection, WineYields(kText)},
        {"sends ten megabytes", [](hostile::Peer& p) { p.Send(kHead + kEndOfHead + Repeated(kBody, kBigBody)); },
         Repeated(kText, quotes::kMostBodyBytes)},
        {"sends a broken chunk",
         [](hostile::Peer& p) {
             p.Send("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\nConnection: close\r\n\r\n"
                    "c\r\nAlpha,Beta\r\n\r\nzz\r\nGamma\r\n");
         },
         "Alpha,Beta\n"},
    };
}

}  // namespace http_hostile_cases
