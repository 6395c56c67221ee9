#include "service/simulated/fault_table.h"

namespace service {

namespace {

const char* const kAnySymbol = "";

}  // namespace

FaultTable::FaultTable(const std::vector<PathFault>& faults) {
    for (const PathFault& fault : faults) Set(fault);
}

void FaultTable::Set(const PathFault& fault) {
    std::lock_guard<std::mutex> lock(mutex_);
    const Key key{fault.path, fault.symbol};
    if (fault.fault.mode == FaultMode::None) {
        faults_.erase(key);
    } else {
        faults_[key] = Armed{fault.fault, fault.count.limit};
    }
}

void FaultTable::Set(const std::string& path, const Fault& fault) { Set(PathFault{path, fault, kAnySymbol, {}}); }

void FaultTable::Clear() {
    std::lock_guard<std::mutex> lock(mutex_);
    faults_.clear();
}

Fault FaultTable::For(const std::string& path, const std::vector<std::string>& symbols) const {
    std::lock_guard<std::mutex> lock(mutex_);
    const auto key = Find(path, symbols);
    return key ? faults_.at(*key).fault : Fault{};
}

Fault FaultTable::Take(const std::string& path, const std::vector<std::string>& symbols) {
    std::lock_guard<std::mutex> lock(mutex_);
    const auto key = Find(path, symbols);
    if (!key) return Fault{};
    const auto entry = faults_.find(*key);
    const Fault fault = entry->second.fault;
    if (entry->second.remaining && --*entry->second.remaining == 0) faults_.erase(entry);
    return fault;
}

std::optional<FaultTable::Key> FaultTable::Find(const std::string& path,
                                                const std::vector<std::string>& symbols) const {
    std::vector<Key> candidates;
    for (const std::string& symbol : symbols) {
        candidates.push_back({path, symbol});
        candidates.push_back({kEveryPath, symbol});
    }
    candidates.push_back({path, kAnySymbol});
    candidates.push_back({kEveryPath, kAnySymbol});
    for (const Key& key : candidates) {
        if (faults_.count(key) > 0) return key;
    }
    return std::nullopt;
}

}  // namespace service
