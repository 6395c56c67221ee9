#pragma once
// The Win32 numbers the logic speaks in. They are spelled out here so the
// logic never includes <windows.h>; the Win32 back end checks them against
// the real headers at compile time.
#include <cstdint>

namespace platform {

// Messages.
inline constexpr std::uint32_t kWmDestroy = 0x0002;
inline constexpr std::uint32_t kWmClose = 0x0010;
inline constexpr std::uint32_t kWmVKeyToItem = 0x002E;
inline constexpr std::uint32_t kWmCharToItem = 0x002F;
inline constexpr std::uint32_t kWmQueryDragIcon = 0x0037;
inline constexpr std::uint32_t kWmCompareItem = 0x0039;
inline constexpr std::uint32_t kWmNcHitTest = 0x0084;
inline constexpr std::uint32_t kWmNcDestroy = 0x0082;
inline constexpr std::uint32_t kWmInitDialog = 0x0110;
inline constexpr std::uint32_t kWmCommand = 0x0111;
inline constexpr std::uint32_t kWmTimer = 0x0113;
inline constexpr std::uint32_t kWmCtlColorMsgBox = 0x0132;
inline constexpr std::uint32_t kWmCtlColorStatic = 0x0138;
inline constexpr std::uint32_t kWmMouseMove = 0x0200;
inline constexpr std::uint32_t kWmLButtonDown = 0x0201;
inline constexpr std::uint32_t kWmLButtonUp = 0x0202;
inline constexpr std::uint32_t kWmRButtonDown = 0x0204;
inline constexpr std::uint32_t kWmCaptureChanged = 0x0215;
// The display's resolution or its set of monitors changed.
inline constexpr std::uint32_t kWmDisplayChange = 0x007E;
// The window now stands on a monitor of another DPI: the new DPI in both
// words of wParam, lParam the suggested window rectangle (a RECT).
inline constexpr std::uint32_t kWmDpiChanged = 0x02E0;
// The first message number free for a program's own use.
inline constexpr std::uint32_t kWmApp = 0x8000;

// The buttons held, in a mouse message's wParam.
inline constexpr std::uintptr_t kMkLButton = 0x0001;

// Hit-test codes.
inline constexpr std::intptr_t kHtNowhere = 0;
inline constexpr std::intptr_t kHtClient = 1;
inline constexpr std::intptr_t kHtLeft = 10;
inline constexpr std::intptr_t kHtRight = 11;
inline constexpr std::intptr_t kHtTop = 12;
inline constexpr std::intptr_t kHtTopLeft = 13;
inline constexpr std::intptr_t kHtTopRight = 14;
inline constexpr std::intptr_t kHtBottom = 15;
inline constexpr std::intptr_t kHtBottomLeft = 16;
inline constexpr std::intptr_t kHtBottomRight = 17;

// Window long indexes of a dialog.
inline constexpr int kDwlMsgResult = 0;
// The dialog procedure follows the message result, one pointer further on.
inline constexpr int kDwlDlgProc = kDwlMsgResult + static_cast<int>(sizeof(void*));
inline constexpr int kGwlUserData = -21;

// Dialog results and standard command identifiers.
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;

// SetWindowPos.
inline constexpr std::intptr_t kHwndTopmost = -1;
inline constexpr std::intptr_t kHwndNoTopmost = -2;
inline constexpr std::uint32_t kSwpNoSize = 0x0001;
inline constexpr std::uint32_t kSwpNoMove = 0x0002;

// Menus.
inline constexpr std::uint32_t kMfString = 0x0000;
inline constexpr std::uint32_t kMfChecked = 0x0008;
inline constexpr std::uint32_t kMfPopup = 0x0010;
inline constexpr std::uint32_t kMfSeparator = 0x0800;
inline constexpr std::uint32_t kTpmRightButton = 0x0002;

// System cursors.
inline constexpr int kIdcArrow = 32512;
inline constexpr int kIdcSizeWe = 32644;

// GetSystemMetrics / GetSysColor.
inline constexpr int kSmCxScreen = 0;
inline constexpr int kColorBtnFace = 15;
inline constexpr int kColorBtnHighlight = 20;

// Message boxes.
inline constexpr std::uint32_t kMbOk = 0x00000000;
inline constexpr std::uint32_t kMbIconInformation = 0x00000040;

// Scaling: the DPI every size is first written for.
inline constexpr std::uint32_t kBaseDpi = 96;

// GDI.
inline constexpr int kOpaque = 2;
inline constexpr int kLogPixelsY = 90;
inline constexpr std::uint8_t kDefaultCharset = 1;
inline constexpr int kSwShowNormal = 1;
inline constexpr std::uint32_t kPmRemove = 0x0001;
inline constexpr int kTransparent = 1;
inline constexpr std::uint32_t kImageBitmap = 0;
inline constexpr int kPsSolid = 0;
inline constexpr std::uint32_t kSrcCopy = 0x00CC0020;

// Threads.
inline constexpr int kThreadPriorityLowest = -2;
inline constexpr std::uint32_t kLrLoadTransparent = 0x00000020;
inline constexpr std::uint32_t kLrLoadMap3dColors = 0x00001000;

// Registry.
inline constexpr std::uint32_t kRegNone = 0;
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;
inline constexpr long kErrorSuccess = 0;
inline constexpr long kErrorFileNotFound = 2;
inline constexpr long kErrorMoreData = 234;

}  // namespace platform
