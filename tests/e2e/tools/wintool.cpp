// wintool: looks at and pokes the windows of a running Win32 program from
// outside, for the end-to-end bench. Every command names its window by the
// exact title; output is one line per window or control, "key=value" pairs
// with any text last and escaped, so tests can parse it without guessing.
//
//   wintool list                      every top-level window
//   wintool find TITLE                top-level windows titled TITLE
//   wintool setclip FILE              the clipboard's text: FILE's bytes
//   wintool texts CAPTION             the child controls of that window
//   wintool press CAPTION ID          click button ID of that dialog
//   wintool command TITLE ID          post WM_COMMAND ID to that window
//   wintool post TITLE MSG WP LP      post any message to that window
//   wintool await-command TITLE ID    print "armed", wait for a line on
//                                     standard input, then post WM_COMMAND
//                                     ID: a command sent at a chosen moment,
//                                     without the start-up time of a process
//   wintool move TITLE L T R B        move and size that window (screen
//                                     coordinates)
//   wintool lock-key PATH             give the key HKEY_LOCAL_MACHINE\PATH
//                                     an empty access list: nobody may open
//                                     it for anything any more
//   wintool screen                    screen size and work area
//   wintool dlgsize CX CY PT FACE     pixel size of a popup template
//
// Where a command takes a TITLE or CAPTION, "hwnd:0x..." names a window by
// its handle instead, for windows without a title of their own.
//
// Exit code 0 on success, 1 when the window or control is missing, 2 on
// bad usage.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "dialog_size.h"
#include "escape.h"
#include "window_search.h"

namespace {

constexpr int kOk = 0;
constexpr int kMissing = 1;
constexpr int kUsage = 2;

using Arguments = std::vector<std::string>;

bool ParseNumber(const std::string& text, unsigned long* value) {
    if (text.empty()) return false;
    char* end = nullptr;
    const bool negative = text[0] == '-';
    *value = negative ? static_cast<unsigned long>(std::strtol(text.c_str(), &end, 0))
                      : std::strtoul(text.c_str(), &end, 0);
    return *end == '\0';
}

// A window handle as a number, whatever the pointer width.
unsigned long long HandleValue(HWND window) {
    return reinterpret_cast<std::uintptr_t>(window);
}

void PrintWindow(HWND window) {
    RECT rect = {};
    GetWindowRect(window, &rect);
    const LONG style = GetWindowLongA(window, GWL_STYLE);
    const LONG exStyle = GetWindowLongA(window, GWL_EXSTYLE);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    std::printf(
        "hwnd=0x%llx left=%ld top=%ld right=%ld bottom=%ld style=0x%08lx exstyle=0x%08lx "
        "topmost=%d visible=%d enabled=%d owner=0x%llx pid=%lu class=%s title=%s\n",
        HandleValue(window), rect.left, rect.top, rect.right, rect.bottom,
        static_cast<unsigned long>(style), static_cast<unsigned long>(exStyle),
        (exStyle & WS_EX_TOPMOST) ? 1 : 0, IsWindowVisible(window) ? 1 : 0,
        IsWindowEnabled(window) ? 1 : 0,
        HandleValue(GetWindow(window, GW_OWNER)), pid,
        e2e::EscapeText(e2e::WindowClass(window)).c_str(),
        e2e::EscapeText(e2e::WindowTitle(window)).c_str());
}

constexpr char kHandlePrefix[] = "hwnd:";

// The first top-level window with that exact title (or the window of that
// handle), or null with a message.
HWND OnlyWindowTitled(const std::string& title) {
    if (title.compare(0, sizeof kHandlePrefix - 1, kHandlePrefix) == 0) {
        char* end = nullptr;
        const unsigned long long handle = std::strtoull(title.c_str() + sizeof kHandlePrefix - 1, &end, 16);
        HWND window = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(handle));
        if (*end != '\0' || !IsWindow(window)) {
            std::fprintf(stderr, "no window %s\n", title.c_str());
            return nullptr;
        }
        return window;
    }
    const std::vector<HWND> windows = e2e::TopLevelWindowsTitled(title);
    if (windows.empty()) {
        std::fprintf(stderr, "no top-level window titled \"%s\"\n", title.c_str());
        return nullptr;
    }
    return windows.front();
}

int List(const Arguments&) {
    for (HWND window : e2e::AllTopLevelWindows()) PrintWindow(window);
    return kOk;
}

int Find(const Arguments& args) {
    const std::vector<HWND> windows = e2e::TopLevelWindowsTitled(args[0]);
    for (HWND window : windows) PrintWindow(window);
    return windows.empty() ? kMissing : kOk;
}

int Texts(const Arguments& args) {
    HWND dialog = OnlyWindowTitled(args[0]);
    if (!dialog) return kMissing;
    for (HWND child : e2e::ChildWindows(dialog)) {
        std::printf("id=%d visible=%d class=%s text=%s\n", GetDlgCtrlID(child),
                    IsWindowVisible(child) ? 1 : 0,
                    e2e::EscapeText(e2e::WindowClass(child)).c_str(),
                    e2e::EscapeText(e2e::ControlText(child)).c_str());
    }
    return kOk;
}

// Posts the button's click notification to its dialog, as the button itself
// would; works whether or not the dialog is active.
int Press(const Arguments& args) {
    unsigned long id = 0;
    if (!ParseNumber(args[1], &id)) return kUsage;
    HWND dialog = OnlyWindowTitled(args[0]);
    if (!dialog) return kMissing;
    HWND button = GetDlgItem(dialog, static_cast<int>(id));
    if (!button) {
        std::fprintf(stderr, "\"%s\" has no control %lu\n", args[0].c_str(), id);
        return kMissing;
    }
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
    return kOk;
}

int Command(const Arguments& args) {
    unsigned long id = 0;
    if (!ParseNumber(args[1], &id)) return kUsage;
    HWND window = OnlyWindowTitled(args[0]);
    if (!window) return kMissing;
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, 0), 0);
    return kOk;
}

int AwaitCommand(const Arguments& args) {
    unsigned long id = 0;
    if (!ParseNumber(args[1], &id)) return kUsage;
    std::printf("armed\n");
    std::fflush(stdout);
    char line[16];
    if (std::fgets(line, sizeof line, stdin) == nullptr) return kMissing;  // the caller went away
    HWND window = OnlyWindowTitled(args[0]);
    if (!window) return kMissing;
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, 0), 0);
    return kOk;
}

int Move(const Arguments& args) {
    long edges[4] = {};
    for (int i = 0; i < 4; ++i) {
        unsigned long value = 0;
        if (!ParseNumber(args[1 + i], &value)) return kUsage;
        edges[i] = static_cast<long>(value);
    }
    HWND window = OnlyWindowTitled(args[0]);
    if (!window) return kMissing;
    const BOOL moved = SetWindowPos(window, nullptr, edges[0], edges[1], edges[2] - edges[0], edges[3] - edges[1],
                                    SWP_NOZORDER | SWP_NOACTIVATE);
    return moved ? kOk : kMissing;
}

int LockKey(const Arguments& args) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, args[0].c_str(), 0, WRITE_DAC, &key) != ERROR_SUCCESS) {
        std::fprintf(stderr, "cannot open HKEY_LOCAL_MACHINE\\%s\n", args[0].c_str());
        return kMissing;
    }
    SECURITY_DESCRIPTOR descriptor;
    ACL empty;
    const bool made = InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION) &&
                      InitializeAcl(&empty, sizeof empty, ACL_REVISION) &&
                      SetSecurityDescriptorDacl(&descriptor, TRUE, &empty, FALSE);
    const LONG status = made ? RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, &descriptor) : ERROR_INVALID_DATA;
    RegCloseKey(key);
    if (status != ERROR_SUCCESS) {
        std::fprintf(stderr, "cannot set the key's access list: %ld\n", status);
        return kMissing;
    }
    return kOk;
}

int Post(const Arguments& args) {
    unsigned long message = 0, wParam = 0, lParam = 0;
    if (!ParseNumber(args[1], &message) || !ParseNumber(args[2], &wParam) ||
        !ParseNumber(args[3], &lParam)) {
        return kUsage;
    }
    HWND window = OnlyWindowTitled(args[0]);
    if (!window) return kMissing;
    PostMessageA(window, message, wParam, static_cast<LPARAM>(lParam));
    return kOk;
}

// Puts a file's bytes on the clipboard as text, so a test can paste text
// that no keyboard types (control bytes, thousands of entries).
int SetClipboardText(const Arguments& args) {
    std::FILE* file = std::fopen(args[0].c_str(), "rb");
    if (file == nullptr) {
        std::fprintf(stderr, "cannot read %s\n", args[0].c_str());
        return kMissing;
    }
    std::string text;
    char chunk[4096];
    for (size_t read; (read = std::fread(chunk, 1, sizeof chunk, file)) > 0;) text.append(chunk, read);
    std::fclose(file);

    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    if (memory == nullptr) return kMissing;
    char* bytes = static_cast<char*>(GlobalLock(memory));
    std::memcpy(bytes, text.c_str(), text.size() + 1);
    GlobalUnlock(memory);
    if (!OpenClipboard(nullptr)) {
        GlobalFree(memory);
        return kMissing;
    }
    EmptyClipboard();
    const bool placed = SetClipboardData(CF_TEXT, memory) != nullptr;
    CloseClipboard();
    if (!placed) GlobalFree(memory);  // otherwise the clipboard owns it
    return placed ? kOk : kMissing;
}

int Screen(const Arguments&) {
    RECT work = {};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    std::printf("cx=%d cy=%d work_left=%ld work_top=%ld work_right=%ld work_bottom=%ld\n",
                GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), work.left,
                work.top, work.right, work.bottom);
    return kOk;
}

// One line per monitor Windows reports: its area, work area and whether
// it is the primary.
BOOL CALLBACK PrintMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM) {
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    if (GetMonitorInfoA(monitor, &info)) {
        std::printf("left=%ld top=%ld right=%ld bottom=%ld work_left=%ld work_top=%ld work_right=%ld"
                    " work_bottom=%ld primary=%d\n",
                    info.rcMonitor.left, info.rcMonitor.top, info.rcMonitor.right, info.rcMonitor.bottom,
                    info.rcWork.left, info.rcWork.top, info.rcWork.right, info.rcWork.bottom,
                    (info.dwFlags & MONITORINFOF_PRIMARY) != 0 ? 1 : 0);
    }
    return TRUE;
}

int Monitors(const Arguments&) {
    return EnumDisplayMonitors(nullptr, nullptr, PrintMonitor, 0) ? kOk : kMissing;
}

int DialogSize(const Arguments& args) {
    unsigned long width = 0, height = 0, points = 0;
    if (!ParseNumber(args[0], &width) || !ParseNumber(args[1], &height) ||
        !ParseNumber(args[2], &points)) {
        return kUsage;
    }
    SIZE pixels = {};
    if (!e2e::MeasureDialogTemplate(static_cast<short>(width), static_cast<short>(height),
                                    static_cast<WORD>(points), args[3], &pixels)) {
        std::fprintf(stderr, "could not create a dialog from the template\n");
        return kMissing;
    }
    std::printf("width=%ld height=%ld\n", pixels.cx, pixels.cy);
    return kOk;
}

struct CommandRow {
    const char* name;
    size_t argumentCount;
    int (*run)(const Arguments&);
};

constexpr CommandRow kCommands[] = {
    {"list", 0, List},
    {"find", 1, Find},
    {"texts", 1, Texts},
    {"press", 2, Press},
    {"command", 2, Command},
    {"post", 4, Post},
    {"setclip", 1, SetClipboardText},
    {"await-command", 2, AwaitCommand},
    {"move", 5, Move},
    {"lock-key", 1, LockKey},
    {"screen", 0, Screen},
    {"monitors", 0, Monitors},
    {"dlgsize", 4, DialogSize},
};

}  // namespace

int main(int argc, char** argv) {
    // Plain "\n" line ends whatever the caller's pipe is.
    _setmode(_fileno(stdout), _O_BINARY);
    if (argc >= 2) {
        const Arguments args(argv + 2, argv + argc);
        for (const CommandRow& row : kCommands) {
            if (std::strcmp(argv[1], row.name) == 0 && args.size() == row.argumentCount) {
                const int result = row.run(args);
                std::fflush(stdout);
                return result;
            }
        }
    }
    std::fprintf(stderr, "usage: wintool list | find TITLE | texts CAPTION | press CAPTION ID |"
                         " command TITLE ID | post TITLE MSG WPARAM LPARAM | setclip FILE |"
                         " await-command TITLE ID | move TITLE LEFT TOP RIGHT BOTTOM | lock-key PATH | screen | monitors |"
                         " dlgsize CX CY POINTS FACE\n");
    return kUsage;
}
