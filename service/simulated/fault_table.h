#pragma once
// The faults that are switched on: per path or for every path, per symbol of
// a quote request or for any, each for some answers or for good.
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "service/simulated/faults.h"

namespace service {

class FaultTable {
public:
    FaultTable() = default;
    explicit FaultTable(const std::vector<PathFault>& faults);

    // Mode None removes what is set for the path and symbol.
    void Set(const PathFault& fault);
    // For every answer and every symbol.
    void Set(const std::string& path, const Fault& fault);
    void Clear();

    // The fault that fits best, without using it up: for one of the
    // symbols (in the order given) on the path, then on every path; then
    // the path's own fault; then the one for every path; else None.
    Fault For(const std::string& path, const std::vector<std::string>& symbols = {}) const;
    // The same, and counts one answer off it; a fault whose count runs out
    // is gone, and the next request finds what is left.
    Fault Take(const std::string& path, const std::vector<std::string>& symbols = {});

private:
    using Key = std::pair<std::string, std::string>;  // path, symbol ("" for any)
    struct Armed {
        Fault fault;
        std::optional<std::uint64_t> remaining;  // none: for good
    };
    using Table = std::map<Key, Armed>;

    // The key of the fault that fits best; called with mutex_ held.
    std::optional<Key> Find(const std::string& path, const std::vector<std::string>& symbols) const;

    mutable std::mutex mutex_;
    Table faults_;
};

}  // namespace service
