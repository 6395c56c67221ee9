#pragma once
// The call log shared by the fakes: one line per call, "Name(arg, ...)".
#include <mutex>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace platform::fake {

inline std::string Quote(const char* text) { return text == nullptr ? "null" : "\"" + std::string(text) + "\""; }

template <class... Args>
std::string Format(const char* name, const Args&... args) {
    std::ostringstream out;
    out << name << '(';
    [[maybe_unused]] const char* separator = "";
    ((out << separator << args, separator = ", "), ...);
    out << ')';
    return out.str();
}

// A worker thread of a test may log while the test's own thread reads: the
// log's own methods take its lock. `calls` itself is for a test to read once
// no other thread runs.
class CallLog {
public:
    std::vector<std::string> calls;

    // The logged calls whose name is `name`, in order.
    std::vector<std::string> CallsNamed(std::string_view name) const {
        const std::lock_guard<std::mutex> lock(logMutex_);
        std::vector<std::string> found;
        for (const std::string& call : calls) {
            if (call.size() > name.size() && call.compare(0, name.size(), name) == 0 && call[name.size()] == '(') {
                found.push_back(call);
            }
        }
        return found;
    }

    // Position of the first call starting with `prefix` at or after `from`;
    // -1 when none.
    int IndexOf(std::string_view prefix, int from = 0) const {
        const std::lock_guard<std::mutex> lock(logMutex_);
        for (int i = from < 0 ? 0 : from; i < static_cast<int>(calls.size()); ++i) {
            if (calls[static_cast<std::size_t>(i)].compare(0, prefix.size(), prefix) == 0) return i;
        }
        return -1;
    }

protected:
    void Log(std::string line) {
        const std::lock_guard<std::mutex> lock(logMutex_);
        calls.push_back(std::move(line));
    }

private:
    mutable std::mutex logMutex_;
};

}  // namespace platform::fake
