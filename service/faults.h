#pragma once
// Ways to make an answer go wrong, switched on per path or for every path,
// so tests can see how the ticker copes with a misbehaving server.
#include <chrono>
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "service/reply.h"

namespace service {

enum class FaultMode {
    None,       // answer normally
    Status,     // an error status (arg, default 500) with an error page
    Empty,      // 200 with an empty body
    Truncate,   // Content-Length of the whole body, then the connection drops after arg bytes
    Slow,       // the normal answer after arg milliseconds (default 2000)
    CrLf,       // every line ended by CR LF
    Lf,         // every line ended by LF alone
    Zero,       // a zero byte put in at offset arg
    Oversized,  // arg bytes (default 10 MiB) of the body repeated
};

struct Fault {
    FaultMode mode = FaultMode::None;
    std::optional<std::uint64_t> arg;
};

// The path that stands for every path.
const char* const kEveryPath = "*";

struct PathFault {
    std::string path;
    Fault fault;
};

// A mode name and an optional decimal argument; nullopt when either is not
// understood or the argument is out of range for the mode.
std::optional<Fault> ParseFault(const std::string& mode, const std::optional<std::string>& arg);

// "path=mode" or "path=mode:arg", as given on the command line.
std::optional<PathFault> ParsePathFault(const std::string& text);

class FaultTable {
public:
    FaultTable() = default;
    explicit FaultTable(const std::vector<PathFault>& faults);

    // Mode None removes the path's fault.
    void Set(const std::string& path, const Fault& fault);
    void Clear();
    // The path's own fault, else the one for every path, else None.
    Fault For(const std::string& path) const;

private:
    mutable std::mutex mutex_;
    std::map<std::string, Fault> faults_;
};

// How a reply is to be sent once a fault has been applied.
struct Delivery {
    Reply reply;
    std::chrono::milliseconds delay{0};
    // Send only this many bytes, then drop the connection. Content-Length
    // still claims the whole body, and at least one byte more than is sent.
    std::optional<std::size_t> dropAfter;
    // Send this many bytes: the body repeated as often as it takes.
    std::optional<std::uint64_t> repeatTo;
};

Delivery ApplyFault(const Fault& fault, Reply reply);

// Where a break hurts most: the middle of the body's last line.
std::size_t MiddleOfLastLine(const std::string& body);

// Every line end (CR LF or LF) rewritten as the given one.
std::string WithLineEnds(const std::string& body, const std::string& lineEnd);

}  // namespace service
