#pragma once
// A kernel handle (process, thread, event) closed when its owner goes.
#include <windows.h>

#include <memory>

namespace service {

struct HandleCloser {
    void operator()(void* handle) const { ::CloseHandle(handle); }
};
using OwnedHandle = std::unique_ptr<void, HandleCloser>;

}  // namespace service
