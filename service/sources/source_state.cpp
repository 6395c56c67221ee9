#include "service/sources/source_state.h"

#include <cstdio>

#include "service/sources/exchange_time.h"

namespace service {

namespace {

constexpr std::int64_t kSecondsPerDay = 86400;

}  // namespace

SourceState::SourceState(ConfiguredSource configured)
    : source(std::move(configured)), limiter(source.perMinute, source.perDay) {}

void SourceState::Record(const SourceAnswer& answer, std::chrono::system_clock::time_point when) {
    ++counts.requests;
    switch (answer.kind) {
    case AnswerKind::Quote:
        ++counts.quotes;
        lastSuccess = when;
        return;
    case AnswerKind::Unknown: ++counts.unknown; return;  // an answer, not a fault of the source
    case AnswerKind::Limited: ++counts.limited; break;
    case AnswerKind::Refused: ++counts.refused; break;
    case AnswerKind::Failed: ++counts.failed; break;
    case AnswerKind::NotTheFormat: ++counts.notTheFormat; break;
    }
    lastError = std::string(AnswerKindName(answer.kind)) + (answer.reason.empty() ? "" : ": " + answer.reason);
    lastErrorAt = when;
}

std::string UtcText(std::chrono::system_clock::time_point when) {
    const std::int64_t seconds = std::chrono::duration_cast<std::chrono::seconds>(when.time_since_epoch()).count();
    if (seconds <= 0) return "";
    const std::int64_t days = seconds / kSecondsPerDay;
    const std::int64_t second = seconds % kSecondsPerDay;
    const CivilDate date = CivilFromDays(days);
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02dZ", date.year, date.month, date.day,
                  static_cast<int>(second / 3600), static_cast<int>(second / 60 % 60), static_cast<int>(second % 60));
    return text;
}

}  // namespace service
