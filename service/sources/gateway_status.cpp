// /status of the live gateway: each source's state and the cache's figures,
// as JSON. Keys never appear: only whether a source has one.
#include <nlohmann/json.hpp>

#include "service/sources/live_gateway.h"

namespace service {

namespace {

const char* KeyState(const ConfiguredSource& source) {
    if (source.adapter->keyVariable == nullptr) return "not needed";
    return source.key.empty() ? "missing" : "set";
}

nlohmann::json SourceJson(SourceState& state, SteadyClock::time_point now) {
    const LimiterUse use = state.limiter.Use(now, UtcDay());
    const SourceCounts& counts = state.counts;
    return {
        {"name", state.source.adapter->name},
        {"address", state.source.base},
        {"key", KeyState(state.source)},
        {"lastSuccess", UtcText(state.lastSuccess)},
        {"lastError", state.lastError},
        {"lastErrorAt", UtcText(state.lastErrorAt)},
        {"requests", counts.requests},
        {"cacheHits", counts.cacheHits},
        {"answers",
         {{"quote", counts.quotes},
          {"unknown", counts.unknown},
          {"limit", counts.limited},
          {"refused", counts.refused},
          {"error", counts.failed},
          {"notTheFormat", counts.notTheFormat},
          {"skipped", counts.skipped}}},
        {"limits",
         {{"lastMinute", use.lastMinute},
          {"perMinute", use.perMinute},
          {"lastDay", use.lastDay},
          {"perDay", use.perDay},
          {"backOffSeconds", use.backOffLeft.count()}}},
    };
}

}  // namespace

std::string LiveGateway::StatusJson() {
    const std::lock_guard<std::mutex> lock(mutex_);
    const auto now = settings_.steadyNow();
    nlohmann::json sources = nlohmann::json::array();
    for (SourceState& state : sources_) sources.push_back(SourceJson(state, now));
    const nlohmann::json status = {
        {"mode", "live"},
        {"sources", sources},
        {"cache",
         {{"symbols", cache_.Size()},
          {"maxSymbols", cache_.MaxSymbols()},
          {"seconds", settings_.cacheFor.count()},
          {"hits", counts_.cacheHits},
          {"misses", counts_.cacheMisses},
          {"answeredStale", counts_.answeredStale},
          {"answeredNA", counts_.answeredNone},
          {"queueFull", counts_.overflowed}}},
    };
    return status.dump(2) + "\n";
}

}  // namespace service
