#pragma once
// Neutral handle and geometry types shared by the logic and both platform
// back ends. Handles are opaque pointers; the Win32 side casts them to the
// real HWND, HDC, ... and the fake hands out numbered tokens.
#include <cstdint>

namespace platform {

struct WindowTag;
struct InstanceTag;
struct DcTag;
struct GdiObjectTag;
struct RegKeyTag;
struct CursorTag;
struct MenuTag;
struct MonitorTag;

using WindowHandle = WindowTag*;
using InstanceHandle = InstanceTag*;
using DcHandle = DcTag*;
using GdiObject = GdiObjectTag*;  // bitmap, brush, pen or font
using RegKeyHandle = RegKeyTag*;
using CursorHandle = CursorTag*;
using MenuHandle = MenuTag*;
using MonitorHandle = MonitorTag*;

using MessageParam = std::uintptr_t;  // WPARAM
using LongParam = std::intptr_t;      // LPARAM
using ProcResult = std::intptr_t;     // INT_PTR / LRESULT
using ColorRef = std::uint32_t;       // red in the low byte

struct Rect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
    friend bool operator==(const Rect& a, const Rect& b) {
        return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
    }
};

struct Point {
    std::int32_t x = 0;
    std::int32_t y = 0;
};

struct Size {
    std::int32_t cx = 0;
    std::int32_t cy = 0;
};

// Callbacks handed to the window manager use the platform's calling
// convention so the Win32 side can pass them through unchanged.
#if defined(_WIN32)
#define VELMORIA_CALLBACK __stdcall
#else
#define VELMORIA_CALLBACK
#endif

using DialogProc = ProcResult(VELMORIA_CALLBACK*)(WindowHandle, std::uint32_t, MessageParam, LongParam);
using EnumWindowsProc = std::int32_t(VELMORIA_CALLBACK*)(WindowHandle, LongParam);

inline std::int16_t LowWordSigned(LongParam value) {
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(static_cast<std::uintptr_t>(value) & 0xFFFFu));
}
inline std::int16_t HighWordSigned(LongParam value) {
    return static_cast<std::int16_t>(static_cast<std::uint16_t>((static_cast<std::uintptr_t>(value) >> 16) & 0xFFFFu));
}
inline std::uint16_t LowWord(std::uintptr_t value) { return static_cast<std::uint16_t>(value & 0xFFFFu); }
inline std::uint16_t HighWord(std::uintptr_t value) { return static_cast<std::uint16_t>((value >> 16) & 0xFFFFu); }

}  // namespace platform
