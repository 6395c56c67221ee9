#include "service/simulated/quote_pins.h"

#include "service/simulated/quote_model.h"

namespace service {

namespace {

constexpr char kSeparator = ':';

std::map<std::string, std::string> LinesBySymbol(const std::vector<PinnedLine>& pins) {
    std::map<std::string, std::string> lines;
    for (const PinnedLine& pin : pins) lines[UpperCase(pin.symbol)] = pin.line;
    return lines;
}

}  // namespace

std::optional<PinnedLine> ParsePinnedLine(const std::string& text) {
    const std::size_t separator = text.find(kSeparator);
    if (separator == std::string::npos || separator == 0) return std::nullopt;
    return PinnedLine{UpperCase(text.substr(0, separator)), text.substr(separator + 1)};
}

PinnedQuotes::PinnedQuotes(const std::vector<PinnedLine>& atStart)
    : atStart_(LinesBySymbol(atStart)), lines_(atStart_) {}

void PinnedQuotes::Pin(const std::string& symbol, const std::string& line) {
    std::lock_guard<std::mutex> lock(mutex_);
    lines_[UpperCase(symbol)] = line;
}

void PinnedQuotes::Unpin(const std::string& symbol) {
    std::lock_guard<std::mutex> lock(mutex_);
    lines_.erase(UpperCase(symbol));
}

void PinnedQuotes::UnpinAll() {
    std::lock_guard<std::mutex> lock(mutex_);
    lines_.clear();
}

void PinnedQuotes::Reset() {
    std::lock_guard<std::mutex> lock(mutex_);
    lines_ = atStart_;
}

std::optional<std::string> PinnedQuotes::For(const std::string& symbol) const {
    std::lock_guard<std::mutex> lock(mutex_);
    const auto found = lines_.find(UpperCase(symbol));
    if (found == lines_.end()) return std::nullopt;
    return found->second;
}

}  // namespace service
