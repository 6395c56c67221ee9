#include "soak_scenario.h"

#include <cstdio>
#include <iterator>

namespace soak {

namespace {

constexpr int kUkEvery = 10;
constexpr int kFlashLinks = 20;
constexpr int kMessageTurns = 3;
constexpr std::uint16_t kSelectAll = 33025;
constexpr std::uint16_t kResetDefault = 33026;

struct FieldBit {
    std::uint16_t command;
    std::uint32_t bit;
};

// In the menu's order.
constexpr FieldBit kFields[] = {
    {33016, 0x00000001}, {33017, 0x00000010}, {33018, 0x00000100}, {33019, 0x00000002}, {33020, 0x00001000},
    {33031, 0x00002000}, {33021, 0x00010000}, {33022, 0x00100000}, {33023, 0x01000000}, {33024, 0x10000000},
};
constexpr int kFieldCount = static_cast<int>(std::size(kFields));

std::string Numbered(const char* format, int number) {
    char text[32];
    std::snprintf(text, sizeof text, format, number);
    return text;
}

}  // namespace

std::string SoakSymbols() {
    std::string list;
    for (int n = 1; n <= kSymbolCount; ++n) {
        if (!list.empty()) list += ", ";
        list += Numbered(n % kUkEvery == 0 ? "S%03d.L" : "S%03d", n);
    }
    return list;
}

std::string Message(int turn) {
    switch (turn % kMessageTurns) {
    case 0:
        return "Market News<{host}/news.html>, Market Hours<{host}/news.html#hours>";
    case 1: {
        std::string message;
        for (int n = 1; n <= kFlashLinks; ++n) {
            if (!message.empty()) message += ", ";
            message += Numbered("Flash %02d<{host}/news.html>", n);
        }
        return message;
    }
    default:
        return "";
    }
}

std::uint16_t DataFieldCommand(int turn) {
    const int cycle = 2 * kFieldCount + 2;
    const int at = turn % cycle;
    if (at < kFieldCount) return kFields[at].command;
    if (at == kFieldCount) return kSelectAll;
    if (at < 2 * kFieldCount + 1) return kFields[2 * kFieldCount - at].command;
    return kResetDefault;
}

std::uint32_t MaskAfter(std::uint32_t mask, std::uint16_t command) {
    if (command == kSelectAll) return kSelectAllMask;
    if (command == kResetDefault) return kDefaultMask;
    for (const FieldBit& field : kFields) {
        if (field.command == command) return mask ^ field.bit;
    }
    return mask;
}

std::string SymbolsAfterEdit(const std::string& list, int edit) {
    const std::string tail = Numbered(", ADD%d", edit / 2 + 1);
    if (edit % 2 == 0) return list + tail;
    return list.substr(0, list.size() - tail.size());
}

std::string FormEncode(const std::string& text) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string encoded;
    for (const unsigned char c : text) {
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_' ||
            c == '.') {
            encoded += static_cast<char>(c);
        } else {
            encoded += '%';
            encoded += kHex[c >> 4];
            encoded += kHex[c & 0xF];
        }
    }
    return encoded;
}

}  // namespace soak
