#include "platform/win32/win32_platform.h"

#include "platform/win32/win32_api.h"

#include <cstring>
#include <new>

#include "platform/constants.h"

namespace platform::win32 {

// The logic's numbers must be the real ones.
static_assert(kWmInitDialog == WM_INITDIALOG && kWmCommand == WM_COMMAND && kWmTimer == WM_TIMER);
static_assert(kWmNcHitTest == WM_NCHITTEST && kWmNcDestroy == WM_NCDESTROY);
static_assert(kWmVKeyToItem == WM_VKEYTOITEM && kWmCharToItem == WM_CHARTOITEM);
static_assert(kWmQueryDragIcon == WM_QUERYDRAGICON && kWmCompareItem == WM_COMPAREITEM);
static_assert(kWmCtlColorMsgBox == WM_CTLCOLORMSGBOX && kWmCtlColorStatic == WM_CTLCOLORSTATIC);
static_assert(kWmMouseMove == WM_MOUSEMOVE && kWmLButtonDown == WM_LBUTTONDOWN && kWmLButtonUp == WM_LBUTTONUP);
static_assert(kWmRButtonDown == WM_RBUTTONDOWN && kWmCaptureChanged == WM_CAPTURECHANGED);
static_assert(kMkLButton == MK_LBUTTON);
static_assert(kDwlMsgResult == DWLP_MSGRESULT && kDwlDlgProc == DWLP_DLGPROC && kGwlUserData == GWLP_USERDATA);
static_assert(kHtLeft == HTLEFT && kHtBottomRight == HTBOTTOMRIGHT && kHtTop == HTTOP && kHtBottom == HTBOTTOM);
static_assert(kSwpNoSize == SWP_NOSIZE && kSwpNoMove == SWP_NOMOVE && kSmCxScreen == SM_CXSCREEN);
static_assert(kColorBtnFace == COLOR_BTNFACE && kColorBtnHighlight == COLOR_BTNHIGHLIGHT);
static_assert(kMbIconInformation == MB_ICONINFORMATION && kMbOk == MB_OK && kOpaque == OPAQUE);
static_assert(kImageBitmap == IMAGE_BITMAP && kLrLoadTransparent == LR_LOADTRANSPARENT &&
              kLrLoadMap3dColors == LR_LOADMAP3DCOLORS);
static_assert(kLogPixelsY == LOGPIXELSY && kDefaultCharset == DEFAULT_CHARSET && kSwShowNormal == SW_SHOWNORMAL);
static_assert(kPmRemove == PM_REMOVE && kWmApp == WM_APP && kWmDisplayChange == WM_DISPLAYCHANGE);
static_assert(kWmDpiChanged == 0x02E0, "WM_DPICHANGED");
static_assert(sizeof(Rect) == sizeof(RECT));
static_assert(kPsSolid == PS_SOLID && kSrcCopy == SRCCOPY && kThreadPriorityLowest == THREAD_PRIORITY_LOWEST);
static_assert(kRegSz == REG_SZ && kRegDword == REG_DWORD && kRegExpandSz == REG_EXPAND_SZ);
static_assert(kErrorSuccess == ERROR_SUCCESS && kErrorMoreData == ERROR_MORE_DATA);
static_assert(kMfString == MF_STRING && kMfChecked == MF_CHECKED && kMfPopup == MF_POPUP &&
              kMfSeparator == MF_SEPARATOR && kTpmRightButton == TPM_RIGHTBUTTON);
static_assert(sizeof(WindowHandle) == sizeof(HWND) && sizeof(MessageParam) == sizeof(WPARAM) &&
              sizeof(LongParam) == sizeof(LPARAM) && sizeof(ProcResult) == sizeof(INT_PTR));

namespace {

HWND Hwnd(WindowHandle window) { return reinterpret_cast<HWND>(window); }
WindowHandle Handle(HWND window) { return reinterpret_cast<WindowHandle>(window); }
HMENU Hmenu(MenuHandle menu) { return reinterpret_cast<HMENU>(menu); }
HDC Hdc(DcHandle dc) { return reinterpret_cast<HDC>(dc); }
HKEY Hkey(RegKeyHandle key) { return reinterpret_cast<HKEY>(key); }
HGDIOBJ Hgdi(GdiObject object) { return reinterpret_cast<HGDIOBJ>(object); }
GdiObject Object(HANDLE handle) { return reinterpret_cast<GdiObject>(handle); }

HKEY RootKey(RegistryRoot root) { return root == RegistryRoot::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER; }

RECT ToRect(const Rect& rect) { return RECT{rect.left, rect.top, rect.right, rect.bottom}; }
Rect FromRect(const RECT& rect) { return Rect{rect.left, rect.top, rect.right, rect.bottom}; }

}  // namespace

std::int32_t Win32Platform::EnumWindows(EnumWindowsProc proc, LongParam param) {
    return ::EnumWindows(reinterpret_cast<WNDENUMPROC>(proc), param);
}

int Win32Platform::GetWindowTextLength(WindowHandle window) { return ::GetWindowTextLengthA(Hwnd(window)); }

int Win32Platform::GetWindowText(WindowHandle window, char* buffer, int capacity) {
    return ::GetWindowTextA(Hwnd(window), buffer, capacity);
}

bool Win32Platform::SetWindowText(WindowHandle window, const char* text) {
    return ::SetWindowTextA(Hwnd(window), text) != FALSE;
}

WindowHandle Win32Platform::GetActiveWindow() { return Handle(::GetActiveWindow()); }
WindowHandle Win32Platform::GetParent(WindowHandle window) { return Handle(::GetParent(Hwnd(window))); }
WindowHandle Win32Platform::GetDlgItem(WindowHandle dialog, int id) { return Handle(::GetDlgItem(Hwnd(dialog), id)); }

ProcResult Win32Platform::DialogBoxParam(InstanceHandle instance, int templateId, WindowHandle owner, DialogProc proc,
                                         LongParam param) {
    return ::DialogBoxParamA(reinterpret_cast<HINSTANCE>(instance), MAKEINTRESOURCEA(templateId), Hwnd(owner),
                             reinterpret_cast<DLGPROC>(proc), param);
}

std::intptr_t Win32Platform::SetWindowLong(WindowHandle window, int index, std::intptr_t value) {
    return ::SetWindowLongPtrA(Hwnd(window), index, value);
}

std::intptr_t Win32Platform::GetWindowLong(WindowHandle window, int index) {
    return ::GetWindowLongPtrA(Hwnd(window), index);
}

bool Win32Platform::EndDialog(WindowHandle dialog, ProcResult result) {
    return ::EndDialog(Hwnd(dialog), result) != FALSE;
}

void Win32Platform::PostQuitMessage(int exitCode) { ::PostQuitMessage(exitCode); }

ProcResult Win32Platform::DefWindowProc(WindowHandle window, std::uint32_t message, MessageParam wParam,
                                        LongParam lParam) {
    return ::DefWindowProcA(Hwnd(window), message, wParam, lParam);
}

int Win32Platform::MessageBox(WindowHandle owner, const char* text, const char* caption, std::uint32_t style) {
    return ::MessageBoxA(Hwnd(owner), text, caption, style);
}

bool Win32Platform::GetWindowRect(WindowHandle window, Rect& rect) {
    RECT r{};
    const bool ok = ::GetWindowRect(Hwnd(window), &r) != FALSE;
    if (ok) rect = FromRect(r);
    return ok;
}

bool Win32Platform::GetClientRect(WindowHandle window, Rect& rect) {
    RECT r{};
    const bool ok = ::GetClientRect(Hwnd(window), &r) != FALSE;
    if (ok) rect = FromRect(r);
    return ok;
}

bool Win32Platform::ClientToScreen(WindowHandle window, Point& point) {
    POINT p{point.x, point.y};
    const bool ok = ::ClientToScreen(Hwnd(window), &p) != FALSE;
    if (ok) point = Point{p.x, p.y};
    return ok;
}

bool Win32Platform::MoveWindow(WindowHandle window, int x, int y, int width, int height, bool repaint) {
    return ::MoveWindow(Hwnd(window), x, y, width, height, repaint ? TRUE : FALSE) != FALSE;
}

bool Win32Platform::SetWindowPos(WindowHandle window, std::intptr_t insertAfter, int x, int y, int cx, int cy,
                                 std::uint32_t flags) {
    return ::SetWindowPos(Hwnd(window), reinterpret_cast<HWND>(insertAfter), x, y, cx, cy, flags) != FALSE;
}

int Win32Platform::GetSystemMetrics(int index) { return ::GetSystemMetrics(index); }

namespace {

// GetDpiForMonitor (shcore.dll) exists from Windows 8.1 on: looked up when
// first needed, and the library kept until the process ends.
class ShcoreDpi {
public:
    using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
    ShcoreDpi() : module_(::LoadLibraryA("shcore.dll")) {
        if (module_ != nullptr) {
            getDpiForMonitor_ =
                reinterpret_cast<GetDpiForMonitorFn>(reinterpret_cast<void*>(::GetProcAddress(module_, "GetDpiForMonitor")));
        }
    }
    ~ShcoreDpi() {
        if (module_ != nullptr) ::FreeLibrary(module_);
    }
    ShcoreDpi(const ShcoreDpi&) = delete;
    ShcoreDpi& operator=(const ShcoreDpi&) = delete;
    GetDpiForMonitorFn get() const { return getDpiForMonitor_; }

private:
    HMODULE module_;
    GetDpiForMonitorFn getDpiForMonitor_ = nullptr;
};

constexpr int kMdtEffectiveDpi = 0;

// The system DPI, where monitors have no DPI of their own.
std::uint32_t SystemDpi() {
    const HDC screen = ::GetDC(nullptr);
    if (screen == nullptr) return kBaseDpi;
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<std::uint32_t>(dpi) : kBaseDpi;
}

}  // namespace

MonitorHandle Win32Platform::MonitorFromRect(const Rect& rect) {
    const RECT r = ToRect(rect);
    return reinterpret_cast<MonitorHandle>(::MonitorFromRect(&r, MONITOR_DEFAULTTONEAREST));
}

MonitorHandle Win32Platform::PrimaryMonitor() {
    return reinterpret_cast<MonitorHandle>(::MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY));
}

bool Win32Platform::GetMonitorInfo(MonitorHandle monitor, MonitorInfo& info) {
    MONITORINFO mi{};
    mi.cbSize = sizeof mi;
    if (::GetMonitorInfoA(reinterpret_cast<HMONITOR>(monitor), &mi) == FALSE) return false;
    info = MonitorInfo{FromRect(mi.rcMonitor), FromRect(mi.rcWork), (mi.dwFlags & MONITORINFOF_PRIMARY) != 0};
    return true;
}

std::uint32_t Win32Platform::GetDpiForMonitor(MonitorHandle monitor) {
    static const ShcoreDpi shcore;
    UINT dpiX = 0;
    UINT dpiY = 0;
    if (shcore.get() != nullptr &&
        SUCCEEDED(shcore.get()(reinterpret_cast<HMONITOR>(monitor), kMdtEffectiveDpi, &dpiX, &dpiY)) && dpiY > 0) {
        return dpiY;
    }
    return SystemDpi();
}

bool Win32Platform::GetWorkArea(Rect& area) {
    RECT r{};
    const bool ok = ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &r, 0) != FALSE;
    if (ok) area = FromRect(r);
    return ok;
}

std::uintptr_t Win32Platform::SetTimer(WindowHandle window, std::uintptr_t id, std::uint32_t elapseMs) {
    return ::SetTimer(Hwnd(window), id, elapseMs, nullptr);
}

bool Win32Platform::KillTimer(WindowHandle window, std::uintptr_t id) { return ::KillTimer(Hwnd(window), id) != FALSE; }

bool Win32Platform::InvalidateRect(WindowHandle window, const Rect* rect, bool erase) {
    if (rect == nullptr) return ::InvalidateRect(Hwnd(window), nullptr, erase ? TRUE : FALSE) != FALSE;
    const RECT r = ToRect(*rect);
    return ::InvalidateRect(Hwnd(window), &r, erase ? TRUE : FALSE) != FALSE;
}

MenuHandle Win32Platform::CreatePopupMenu() { return reinterpret_cast<MenuHandle>(::CreatePopupMenu()); }

bool Win32Platform::AppendMenu(MenuHandle menu, std::uint32_t flags, std::uintptr_t idOrSubmenu, const char* text) {
    return ::AppendMenuA(Hmenu(menu), flags, idOrSubmenu, text) != FALSE;
}

bool Win32Platform::TrackPopupMenu(MenuHandle menu, std::uint32_t flags, int x, int y, WindowHandle owner) {
    return ::TrackPopupMenu(Hmenu(menu), flags, x, y, 0, Hwnd(owner), nullptr) != FALSE;
}

bool Win32Platform::DestroyMenu(MenuHandle menu) { return ::DestroyMenu(Hmenu(menu)) != FALSE; }

WindowHandle Win32Platform::SetCapture(WindowHandle window) { return Handle(::SetCapture(Hwnd(window))); }
bool Win32Platform::ReleaseCapture() { return ::ReleaseCapture() != FALSE; }

CursorHandle Win32Platform::LoadCursor(InstanceHandle instance, int cursorId) {
    return reinterpret_cast<CursorHandle>(
        ::LoadCursorA(reinterpret_cast<HINSTANCE>(instance), MAKEINTRESOURCEA(cursorId)));
}

CursorHandle Win32Platform::SetCursor(CursorHandle cursor) {
    return reinterpret_cast<CursorHandle>(::SetCursor(reinterpret_cast<HCURSOR>(cursor)));
}

bool Win32Platform::PostMessage(WindowHandle window, std::uint32_t message, MessageParam wParam, LongParam lParam) {
    return ::PostMessageA(Hwnd(window), message, wParam, lParam) != FALSE;
}

bool Win32Platform::PeekMessage(QueuedMessage& message, std::uint32_t removeFlags) {
    MSG msg{};
    if (::PeekMessageA(&msg, nullptr, 0, 0, removeFlags) == FALSE) return false;
    message = QueuedMessage{Handle(msg.hwnd), msg.message, msg.wParam, msg.lParam, msg.time, Point{msg.pt.x, msg.pt.y}};
    return true;
}

void Win32Platform::DispatchMessage(const QueuedMessage& message) {
    MSG msg{Hwnd(message.window), message.message, message.wParam, message.lParam, message.time,
            POINT{message.point.x, message.point.y}};
    ::DispatchMessageA(&msg);
}

void Win32Platform::WaitMessage(std::uint32_t timeoutMs) {
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, timeoutMs, QS_ALLINPUT);
}

DcHandle Win32Platform::GetDC(WindowHandle window) { return reinterpret_cast<DcHandle>(::GetDC(Hwnd(window))); }
int Win32Platform::ReleaseDC(WindowHandle window, DcHandle dc) { return ::ReleaseDC(Hwnd(window), Hdc(dc)); }
DcHandle Win32Platform::CreateCompatibleDC(DcHandle dc) {
    return reinterpret_cast<DcHandle>(::CreateCompatibleDC(Hdc(dc)));
}
bool Win32Platform::DeleteDC(DcHandle dc) { return ::DeleteDC(Hdc(dc)) != FALSE; }

GdiObject Win32Platform::LoadImage(InstanceHandle instance, int resourceId, std::uint32_t type, int cx, int cy,
                                   std::uint32_t flags) {
    return Object(::LoadImageA(reinterpret_cast<HINSTANCE>(instance), MAKEINTRESOURCEA(resourceId), type, cx, cy, flags));
}

GdiObject Win32Platform::SelectObject(DcHandle dc, GdiObject object) {
    return Object(::SelectObject(Hdc(dc), Hgdi(object)));
}
bool Win32Platform::DeleteObject(GdiObject object) { return ::DeleteObject(Hgdi(object)) != FALSE; }
int Win32Platform::SetBkMode(DcHandle dc, int mode) { return ::SetBkMode(Hdc(dc), mode); }
ColorRef Win32Platform::SetBkColor(DcHandle dc, ColorRef color) { return ::SetBkColor(Hdc(dc), color); }
ColorRef Win32Platform::GetSysColor(int index) { return ::GetSysColor(index); }
GdiObject Win32Platform::CreateSolidBrush(ColorRef color) { return Object(::CreateSolidBrush(color)); }

GdiObject Win32Platform::CreatePen(int style, int width, ColorRef color) {
    return Object(::CreatePen(style, width, color));
}

bool Win32Platform::FillRect(DcHandle dc, const Rect& rect, GdiObject brush) {
    const RECT r = ToRect(rect);
    return ::FillRect(Hdc(dc), &r, reinterpret_cast<HBRUSH>(brush)) != 0;
}

bool Win32Platform::BitBlt(DcHandle dest, int x, int y, int width, int height, DcHandle source, int sourceX,
                           int sourceY, std::uint32_t rop) {
    return ::BitBlt(Hdc(dest), x, y, width, height, Hdc(source), sourceX, sourceY, rop) != FALSE;
}

bool Win32Platform::Rectangle(DcHandle dc, int left, int top, int right, int bottom) {
    return ::Rectangle(Hdc(dc), left, top, right, bottom) != FALSE;
}

bool Win32Platform::MoveTo(DcHandle dc, int x, int y) { return ::MoveToEx(Hdc(dc), x, y, nullptr) != FALSE; }
bool Win32Platform::LineTo(DcHandle dc, int x, int y) { return ::LineTo(Hdc(dc), x, y) != FALSE; }

GdiObject Win32Platform::CreateFontIndirect(const LogFont& font) {
    LOGFONTA logFont{};
    logFont.lfHeight = font.height;
    logFont.lfWidth = font.width;
    logFont.lfEscapement = font.escapement;
    logFont.lfOrientation = font.orientation;
    logFont.lfWeight = font.weight;
    logFont.lfItalic = font.italic;
    logFont.lfUnderline = font.underline;
    logFont.lfStrikeOut = font.strikeOut;
    logFont.lfCharSet = font.charSet;
    logFont.lfOutPrecision = font.outPrecision;
    logFont.lfClipPrecision = font.clipPrecision;
    logFont.lfQuality = font.quality;
    logFont.lfPitchAndFamily = font.pitchAndFamily;
    static_assert(sizeof logFont.lfFaceName == sizeof font.faceName);
    std::memcpy(logFont.lfFaceName, font.faceName, sizeof logFont.lfFaceName);
    return Object(::CreateFontIndirectA(&logFont));
}

int Win32Platform::GetDeviceCaps(DcHandle dc, int index) { return ::GetDeviceCaps(Hdc(dc), index); }

bool Win32Platform::DPtoLP(DcHandle dc, Point* points, int count) {
    static_assert(sizeof(Point) == sizeof(POINT));
    return ::DPtoLP(Hdc(dc), reinterpret_cast<POINT*>(points), count) != FALSE;
}

ColorRef Win32Platform::SetTextColor(DcHandle dc, ColorRef color) { return ::SetTextColor(Hdc(dc), color); }

bool Win32Platform::TextOut(DcHandle dc, int x, int y, const char* text, int length) {
    return ::TextOutA(Hdc(dc), x, y, text, length) != FALSE;
}

int Win32Platform::GetTextExtentPoint32(DcHandle dc, const char* text, int length, Size& size) {
    SIZE extent{};
    const BOOL ok = ::GetTextExtentPoint32A(Hdc(dc), text, length, &extent);
    size = Size{extent.cx, extent.cy};
    return ok;
}

bool Win32Platform::GetTextMetrics(DcHandle dc, TextMetrics& metrics) {
    TEXTMETRICA tm{};
    const bool ok = ::GetTextMetricsA(Hdc(dc), &tm) != FALSE;
    if (ok) metrics = TextMetrics{tm.tmHeight, tm.tmAveCharWidth};
    return ok;
}

bool Win32Platform::Flush() {
    const bool flushed = ::GdiFlush() != FALSE;
    // Wine's GdiFlush does nothing; it copies a window's drawing to the
    // screen when the thread waits for messages. A wait of no time at all
    // does that there, and nothing else anywhere.
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 0, QS_ALLINPUT);
    return flushed;
}

long Win32Platform::OpenKey(RegistryRoot root, const char* path, RegKeyHandle& key) {
    HKEY opened = nullptr;
    const long status = ::RegOpenKeyA(RootKey(root), path, &opened);
    key = reinterpret_cast<RegKeyHandle>(opened);
    return status;
}

long Win32Platform::CreateKey(RegistryRoot root, const char* path, RegKeyHandle& key) {
    HKEY created = nullptr;
    const long status = ::RegCreateKeyA(RootKey(root), path, &created);
    key = reinterpret_cast<RegKeyHandle>(created);
    return status;
}

long Win32Platform::QueryValue(RegKeyHandle key, const char* name, std::uint32_t* type, std::uint8_t* data,
                               std::uint32_t* size) {
    DWORD valueType = type != nullptr ? *type : 0;
    DWORD valueSize = size != nullptr ? *size : 0;
    const long status = ::RegQueryValueExA(Hkey(key), name, nullptr, type != nullptr ? &valueType : nullptr, data,
                                           size != nullptr ? &valueSize : nullptr);
    if (type != nullptr) *type = valueType;
    if (size != nullptr) *size = valueSize;
    return status;
}

long Win32Platform::SetValue(RegKeyHandle key, const char* name, std::uint32_t type, const std::uint8_t* data,
                             std::uint32_t size) {
    return ::RegSetValueExA(Hkey(key), name, 0, type, data, size);
}

long Win32Platform::CloseKey(RegKeyHandle key) { return ::RegCloseKey(Hkey(key)); }

std::uint32_t Win32Platform::GetCurrentThreadId() { return ::GetCurrentThreadId(); }

namespace {

struct ThreadStart {
    int priority;
    ThreadEntry entry;
    void* argument;
};

DWORD WINAPI ThreadTrampoline(LPVOID parameter) {
    const ThreadStart start = *static_cast<ThreadStart*>(parameter);
    delete static_cast<ThreadStart*>(parameter);
    ::SetThreadPriority(::GetCurrentThread(), start.priority);
    return start.entry(start.argument);
}

}  // namespace

bool Win32Platform::StartThread(int priority, ThreadEntry entry, void* argument) {
    auto* start = new (std::nothrow) ThreadStart{priority, entry, argument};
    if (start == nullptr) return false;
    DWORD id = 0;
    const HANDLE thread = ::CreateThread(nullptr, 0, &ThreadTrampoline, start, 0, &id);
    if (thread == nullptr) {
        delete start;
        return false;
    }
    ::CloseHandle(thread);  // the thread lives on; nobody waits for it
    return true;
}

void Win32Platform::Sleep(std::uint32_t milliseconds) { ::Sleep(milliseconds); }

std::intptr_t Win32Platform::ShellExecute(WindowHandle owner, const char* verb, const char* file,
                                          const char* parameters, const char* directory, int show) {
    return reinterpret_cast<std::intptr_t>(::ShellExecuteA(Hwnd(owner), verb, file, parameters, directory, show));
}

}  // namespace platform::win32
