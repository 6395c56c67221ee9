#pragma once
// A window's message table: rows of (message, command identifiers, handler)
// searched from the top; the first matching row handles the message.
#include <cstddef>
#include <cstdint>

#include "app/message.h"
#include "platform/constants.h"

namespace app {

struct CommandRange {
    std::uint16_t first = 0;
    std::uint16_t last = 0;
};

inline constexpr CommandRange kNoCommand{};
inline constexpr CommandRange Command(std::uint16_t id) { return {id, id}; }
inline constexpr CommandRange Commands(std::uint16_t first, std::uint16_t last) { return {first, last}; }

template <class Window>
struct MessageRow {
    using Handler = platform::ProcResult (Window::*)(const Message&);
    std::uint32_t message;
    CommandRange commands;  // looked at only for WM_COMMAND
    Handler handler;

    bool Matches(const Message& m) const {
        if (m.id != message) return false;
        if (message != platform::kWmCommand) return true;
        const std::uint16_t command = m.CommandId();
        return command >= commands.first && command <= commands.last;
    }
};

// Runs the first row that matches; false when none does.
template <class Window, std::size_t N>
bool DispatchMessageTable(const MessageRow<Window> (&table)[N], Window& window, const Message& message,
                          platform::ProcResult& result) {
    for (const MessageRow<Window>& row : table) {
        if (row.Matches(message)) {
            result = (window.*row.handler)(message);
            return true;
        }
    }
    return false;
}

}  // namespace app
