#include "service/sources/ask_source.h"

#include "service/sources/answer_checks.h"
#include "service/sources/freed_memory.h"

namespace service {

std::vector<ConfiguredSource> ConfiguredSources(const ServiceOptions& options) {
    std::vector<ConfiguredSource> sources;
    for (const std::string& name : options.sources) {
        const SourceAdapter* adapter = FindSourceAdapter(name);
        if (adapter == nullptr) continue;
        ConfiguredSource source;
        source.adapter = adapter;
        const auto url = options.providerUrls.find(name);
        source.base = url != options.providerUrls.end() ? url->second : adapter->defaultBase;
        const auto limit = options.limits.find(name);
        source.perMinute = limit != options.limits.end() ? limit->second.perMinute : adapter->perMinute;
        source.perDay = limit != options.limits.end() ? limit->second.perDay : adapter->perDay;
        const auto key = options.keys.find(name);
        if (key != options.keys.end()) source.key = key->second;
        sources.push_back(std::move(source));
    }
    return sources;
}

std::string CannotAsk(const ConfiguredSource& source, const std::string& symbol) {
    if (source.adapter->keyVariable != nullptr && source.key.empty()) {
        return std::string("needs a key (--key ") + source.adapter->name + "=KEY or " + source.adapter->keyVariable +
               ")";
    }
    if (!source.adapter->request(source.base, symbol, source.key)) return "has no form for the symbol";
    return "";
}

SourceAnswer AskSource(const ConfiguredSource& source, const std::string& symbol, const UpstreamLimits& limits,
                       const std::atomic<bool>* stop) {
    const std::string why = CannotAsk(source, symbol);
    if (!why.empty()) return Answer(AnswerKind::Failed, why);
    const auto request = source.adapter->request(source.base, symbol, source.key);
    SourceAnswer answer;
    std::size_t answerBytes = 0;
    {
        const UpstreamResponse response = FetchUpstream(*request, limits, stop);
        answerBytes = response.body.size();
        answer = source.adapter->parse(response, symbol);
    }
    if (answerBytes >= kLargeAnswerBytes) ReturnFreedMemory();
    return answer;
}

}  // namespace service
