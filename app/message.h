#pragma once
// One window message as the handlers receive it.
#include <cstdint>

#include "platform/types.h"

namespace app {

struct Message {
    platform::WindowHandle window = nullptr;
    std::uint32_t id = 0;
    platform::MessageParam wParam = 0;
    platform::LongParam lParam = 0;

    // For WM_COMMAND: the command identifier; the notification code in the
    // high word is never looked at.
    std::uint16_t CommandId() const { return platform::LowWord(wParam); }
};

}  // namespace app
