#pragma once
// Opening an address in the user's browser.
#include "platform/types.h"

namespace platform {

class Shell {
public:
    virtual ~Shell() = default;
    // ShellExecuteA; the result is the platform's instance-handle value.
    virtual std::intptr_t ShellExecute(WindowHandle owner, const char* verb, const char* file,
                                       const char* parameters, const char* directory, int show) = 0;
};

}  // namespace platform
