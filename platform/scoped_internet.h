#pragma once
// Owner of one WinINet handle: closed exactly once, on every path. Declared
// in the order the handles are opened, owners close them in reverse: the
// request, then the connection, then the session.
#include <utility>

#include "platform/internet.h"

namespace platform {

class ScopedInternetHandle {
public:
    ScopedInternetHandle(Internet& internet, InternetHandle handle) : internet_(internet), handle_(handle) {}
    ~ScopedInternetHandle() {
        if (handle_ != nullptr) internet_.CloseHandle(handle_);
    }
    ScopedInternetHandle(const ScopedInternetHandle&) = delete;
    ScopedInternetHandle& operator=(const ScopedInternetHandle&) = delete;

    InternetHandle get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }

private:
    Internet& internet_;
    InternetHandle handle_;
};

}  // namespace platform
