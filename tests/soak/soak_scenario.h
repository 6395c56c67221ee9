#pragma once
// What the soak does to the bar, as the native soak needs it: the symbol
// list, the server messages, the data-field commands in their order and the
// mask each leaves, and the symbol-list edits. The soak of the exe
// (soak_run.py, bar_commands.py) goes through the same.
#include <cstdint>
#include <string>

namespace soak {

inline constexpr int kSymbolCount = 200;
inline constexpr std::uint32_t kUpdateIntervalMs = 10000;
inline constexpr std::uint32_t kFastestSpeed = 5;
inline constexpr std::uint32_t kDefaultMask = 0x10000101;
inline constexpr std::uint32_t kSelectAllMask = 0x11111113;

// "S001, S002, ...": every tenth symbol has the ".L" suffix of the "uk"
// source, whose answers start with a line of column titles.
std::string SoakSymbols();
// The server messages in turn: two links, twenty links, none; {host} is
// filled in by the service.
std::string Message(int turn);
// The data-field command of a turn: every field on in menu order, Select
// All, every field off again, Reset Default; then again.
std::uint16_t DataFieldCommand(int turn);
std::uint32_t MaskAfter(std::uint32_t mask, std::uint16_t command);
// The list after an edit: even edits add ", ADDn" at the end, odd ones take
// it off again.
std::string SymbolsAfterEdit(const std::string& list, int edit);
// A value for a form-encoded query (the service's control paths).
std::string FormEncode(const std::string& text);

}  // namespace soak
