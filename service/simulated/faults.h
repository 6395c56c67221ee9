#pragma once
// Ways to make an answer go wrong, and how tests name them: a mode with an
// optional number, for a path (or every path), optionally only for the
// requests of one symbol, for a number of answers or for good.
#include <cstdint>
#include <optional>
#include <string>

namespace service {

enum class FaultMode {
    None,          // answer normally
    Status,        // an error status (arg, default 500) with an error page
    Empty,         // 200 with an empty body
    Truncate,      // Content-Length of the whole body, then the connection drops after arg bytes
    Slow,          // the normal answer after arg milliseconds (default 2000)
    CrLf,          // every line ended by CR LF
    Lf,            // every line ended by LF alone
    Zero,          // a zero byte put in at offset arg
    Oversized,     // arg bytes (default 10 MiB) of the body repeated
    Close,         // the connection closed without a single byte
    Reset,         // the connection reset (RST) without a single byte
    Hang,          // no answer; the connection held until the client leaves (at most arg ms)
    Stall,         // status line and headers, then no body (held at most arg ms)
    Trickle,       // the normal answer at arg bytes per second
    Cut,           // no Content-Length, the body ends with the connection, after arg bytes
    BadChunk,      // chunked, and the second chunk has a size that is not hexadecimal
    RedirectLoop,  // 302 to the very same address
    RedirectHttps, // 302 to the same address over https
    RedirectDead,  // 302 to a port on which nobody listens
    Html500,       // 500 with a whole web page
    Big,           // arg MiB (default 64) of quote lines
};

struct Fault {
    FaultMode mode = FaultMode::None;
    std::optional<std::uint64_t> arg;
};

// How many answers a fault spoils before the path is healthy again.
struct FaultCount {
    std::optional<std::uint64_t> limit;  // none: every answer, until switched off
};

// The path that stands for every path.
const char* const kEveryPath = "*";

struct PathFault {
    std::string path;
    Fault fault;
    std::string symbol = {};  // upper case; empty: whatever the request asks for
    FaultCount count = {};
};

// Decimal digits only, as options and control paths write numbers; nullopt
// for anything else (empty, a sign, another character, beyond 64 bits).
std::optional<std::uint64_t> ParseNumber(const std::string& text);

// A mode name and an optional decimal argument; nullopt when either is not
// understood or the argument is out of range for the mode.
std::optional<Fault> ParseFault(const std::string& mode, const std::optional<std::string>& arg);

// "once", "always", or a number of answers (at least 1), with or without a
// trailing 'x' ("3", "3x").
std::optional<FaultCount> ParseFaultCount(const std::string& text);

// As given on the command line: PATH[#SYMBOL]=MODE[:ARG][:COUNT], where
// COUNT is "once", "always" or "Nx" (so it cannot be taken for an ARG).
// Split at the last '=', since symbols may hold one.
std::optional<PathFault> ParsePathFault(const std::string& text);

}  // namespace service
