#pragma once
// Quote lines fixed by a test: the exact text a symbol is answered with
// instead of its random walk, so that a test can ask for a change of 0, a
// price of 0, a price in 64ths or a second line.
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace service {

struct PinnedLine {
    std::string symbol;  // upper case
    std::string line;    // sent as it is, line end included if wanted
};

// "SYMBOL:LINE", as given on the command line; split at the first ':'
// (symbols never hold one, quote lines may).
std::optional<PinnedLine> ParsePinnedLine(const std::string& text);

class PinnedQuotes {
public:
    explicit PinnedQuotes(const std::vector<PinnedLine>& atStart);

    void Pin(const std::string& symbol, const std::string& line);
    void Unpin(const std::string& symbol);
    void UnpinAll();
    // Back to the pins given at start.
    void Reset();
    // The line pinned for the symbol (taken in upper case).
    std::optional<std::string> For(const std::string& symbol) const;

private:
    const std::map<std::string, std::string> atStart_;
    mutable std::mutex mutex_;
    std::map<std::string, std::string> lines_;
};

}  // namespace service
