#pragma once
// A text that tests may replace while the service runs, and that a reset
// puts back to what it was at start. Safe to use from several threads.
#include <mutex>
#include <string>

namespace service {

class ResettableText {
public:
    explicit ResettableText(std::string atStart) : atStart_(std::move(atStart)), text_(atStart_) {}

    std::string Get() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return text_;
    }
    void Set(std::string text) {
        std::lock_guard<std::mutex> lock(mutex_);
        text_ = std::move(text);
    }
    void Reset() { Set(atStart_); }

private:
    const std::string atStart_;
    mutable std::mutex mutex_;
    std::string text_;
};

}  // namespace service
