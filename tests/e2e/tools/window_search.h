#pragma once
// Top-level windows by their exact title, the way the bench names them.
#include <windows.h>

#include <string>
#include <vector>

namespace e2e {

// A window's title as the system keeps it. Sends no message, so a program
// that hangs cannot hang the caller.
std::string WindowTitle(HWND window);

// A control's text as the control itself answers WM_GETTEXT (edit fields
// keep theirs privately); the kept title when it does not answer in time.
std::string ControlText(HWND control);

std::string WindowClass(HWND window);

// Every top-level window whose whole title equals `title` (case-sensitive),
// visible or not, in z-order.
std::vector<HWND> TopLevelWindowsTitled(const std::string& title);

// Every top-level window, in z-order.
std::vector<HWND> AllTopLevelWindows();

// The direct and indirect children of `parent`, in z-order.
std::vector<HWND> ChildWindows(HWND parent);

}  // namespace e2e
