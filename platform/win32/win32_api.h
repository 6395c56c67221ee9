#pragma once
// <windows.h> without the A/W macros that share names with the platform
// interface's methods (MessageBox, LoadImage, ...).
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#undef DialogBoxParam
#undef DefWindowProc
#undef GetWindowLong
#undef GetWindowText
#undef GetWindowTextLength
#undef LoadImage
#undef MessageBox
#undef SetWindowLong
#undef SetWindowText
#undef CreateFontIndirect
#undef TextOut
#undef GetTextExtentPoint32
#undef PeekMessage
#undef PostMessage
#undef DispatchMessage
#undef ShellExecute
#undef AppendMenu
#undef LoadCursor
#undef GetTextMetrics
#undef GetMonitorInfo
#undef RegisterWindowMessage
