#pragma once
// A recording fake of the whole platform for the native tests. Every call is
// logged as one line "Name(arg, arg, ...)" with handles written as w1, dc1,
// o1, k1; a test sets the answers (rectangles, screen, registry contents)
// beforehand and reads the log and the resulting state afterwards.
//
// Every call may come from any thread: one lock guards the fake's state, and
// it is never held while the fake calls back into the code under test
// (dialog procedures, scripts, hooks). Threads started through StartThread
// either wait until the test runs them (Deferred: deterministic, on the
// test's thread but under their own thread id) or run for real (Real).
#include <cstdint>
#include <atomic>
#include <functional>
#include <mutex>
#include <thread>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/constants.h"
#include "platform/fake/call_log.h"
#include "platform/fake/fake_internet.h"
#include "platform/platform.h"

namespace platform::fake {

class FakePlatform final : public CallLog,
                           public WindowManager,
                           public Gdi,
                           public Registry,
                           public Threads,
                           public Shell,
                           public Desktop {
public:
    FakePlatform();
    ~FakePlatform() override;
    FakePlatform(const FakePlatform&) = delete;
    FakePlatform& operator=(const FakePlatform&) = delete;
    Platform AsPlatform() { return Platform{*this, *this, *this, *this, *this, internet, *this}; }


    // ---- Windows -------------------------------------------------------------
    struct Window {
        std::string title;
        Rect rect;
        WindowHandle parent = nullptr;
        DialogProc proc = nullptr;
        std::intptr_t userData = 0;
        std::intptr_t msgResult = 0;
        bool topmost = false;
        std::uint32_t style = 0;  // what GetWindowStyle answers
        bool alive = true;
        bool ended = false;
        ProcResult endResult = 0;
        int templateId = 0;
        int controlId = 0;  // a dialog's control: its identifier
        std::uint32_t dpi = 0;  // the DPI of the monitor it stands on, as it was last told
        std::uint32_t ownerThread = 0;  // the thread that made the window; only it may set timers
        std::map<std::uintptr_t, std::uint32_t> timers;  // id -> period
        std::map<std::uintptr_t, std::uint64_t> timerSets;  // id -> how often SetTimer armed it
    };
    using ModalScript = std::function<void(FakePlatform&, WindowHandle)>;

    WindowHandle AddWindow(const std::string& title, WindowHandle parent = nullptr);
    Window& window(WindowHandle handle);
    // The window of the most recent dialog created from `templateId`.
    WindowHandle LastDialog(int templateId) const;
    // Delivers a message to the window's current dialog procedure.
    ProcResult Send(WindowHandle window, std::uint32_t message, MessageParam wParam = 0, LongParam lParam = 0);
    std::string NameOf(const void* handle) const;

    std::map<int, Rect> templateRects;       // window rectangle a template is created with
    // The controls a dialog made from a template gets: child windows whose
    // title is their text, found by GetDlgItem.
    struct ControlTemplate {
        int id;
        std::string text;
    };
    std::map<int, std::vector<ControlTemplate>> templateControls;
    // DialogBoxParam makes no window at all and returns -1, as when a
    // template cannot be loaded.
    bool dialogsFail = false;
    WindowHandle activeWindow = nullptr;  // what GetActiveWindow answers
    std::map<int, ModalScript> modalScripts;  // run inside the modal loop of a template
    // With deferCreation, DialogBoxParam only records the request, runs
    // whileDeferred (still inside the call, as another thread's work would
    // go on meanwhile) and returns 0; CreateDeferredDialog(i) creates request
    // i's window on the calling thread (WM_SETFONT, WM_INITDIALOG) without a
    // modal loop.
    bool deferCreation = false;
    std::function<void(FakePlatform&)> whileDeferred;
    struct DeferredDialog {
        int templateId;
        WindowHandle owner;
        DialogProc proc;
        LongParam param;
    };
    std::vector<DeferredDialog> deferredDialogs;
    WindowHandle CreateDeferredDialog(std::size_t index);
    bool sendSetFontFirst = true;            // as the platform does for DS_SETFONT dialogs
    int screenWidth = 1280;
    int screenHeight = 1024;
    Rect workArea{0, 0, 1280, 1024};
    // The monitors, the primary first (its origin is 0, 0). Empty: one
    // monitor, screenWidth x screenHeight, with workArea, at logPixelsY.
    // A top-level window moved onto a monitor of another DPI gets
    // WM_DPICHANGED with its size scaled, as the platform sends it.
    struct Monitor {
        Rect area;
        Rect work;
        std::uint32_t dpi = kBaseDpi;
    };
    std::vector<Monitor> monitors;
    // MonitorFromRect's answer for a rectangle, as an index into the
    // monitors (0 for the single default one).
    std::size_t MonitorIndexFor(const Rect& rect) const;
    ProcResult defaultHitCode = kHtClient;
    bool enumerationFails = false;
    int messageBoxAnswer = kIdOk;
    struct MessageBoxShown {
        WindowHandle owner;
        std::string text;
        std::string caption;
        std::uint32_t style;
    };
    std::vector<MessageBoxShown> messageBoxes;
    int postedQuitCode = -1;
    // The id of the test's own thread (GetCurrentThreadId outside started
    // threads); tests change it to act as another thread.
    std::atomic<std::uint32_t> currentThreadId{1};
    // False stops the call log from growing, for long runs.
    std::atomic<bool> recording{true};
    // A copy of the call log, safe while other threads make calls.
    std::vector<std::string> Calls() const;
    // Called at every MessageBox, with the message box still open.
    std::function<void(FakePlatform&)> onMessageBox;

    // ---- GDI ---------------------------------------------------------------
    std::map<int, ColorRef> sysColors;
    // Objects and contexts that were made and not yet deleted or released.
    std::set<GdiObject> liveObjects;
    std::set<DcHandle> liveDcs;
    // How many objects of each kind ("bitmap", "brush", "font", "pen") and
    // device contexts ("dc") are live; safe while other threads make calls.
    std::map<std::string, std::size_t> LiveCounts() const;
    // The object of `kind` ("bitmap", "brush", ...) selected into `dc`.
    GdiObject SelectedObject(DcHandle dc, const std::string& kind) const;
    ColorRef BackgroundColor(DcHandle dc) const;
    int BackgroundMode(DcHandle dc) const;
    ColorRef TextColor(DcHandle dc) const;
    int logPixelsY = 96;
    // Text measuring: each character is this wide unless measuring fails.
    int characterWidth = 7;
    int textHeight = 16;
    bool measuringFails = false;
    int averageCharacterWidth = 7;  // what GetTextMetrics answers
    bool metricsFail = false;
    bool fontsFail = false;  // CreateFontIndirect gives no font
    struct FontMade {
        GdiObject font;
        LogFont description;
    };
    std::vector<FontMade> fontsMade;
    struct TextDrawn {
        DcHandle dc;
        int x;
        int y;
        std::string text;
        ColorRef color;
        GdiObject font;
    };
    std::vector<TextDrawn> textsDrawn;
    // Called at every GetTextExtentPoint32, before it measures: a test
    // throws std::bad_alloc there, as the drawing code's own allocations may.
    std::function<void(FakePlatform&)> onMeasure;

    // ---- Menus ---------------------------------------------------------------
    // One item of a menu as TrackPopupMenu showed it, submenus expanded.
    struct MenuLine {
        std::uint32_t flags = 0;
        std::uintptr_t id = 0;  // 0 for separators and submenus
        std::string text;
        std::vector<MenuLine> submenu;
    };
    struct TrackedMenu {
        std::vector<MenuLine> lines;
        std::uint32_t flags = 0;
        Point point;
        WindowHandle owner = nullptr;
    };
    std::vector<TrackedMenu> trackedMenus;
    // The item TrackPopupMenu chooses: when the shown menu holds it, its
    // WM_COMMAND is posted to the owner, as the platform does. 0 dismisses.
    std::uint16_t menuChoice = 0;
    std::set<MenuHandle> liveMenus;  // created and not yet destroyed

    // ---- Mouse ---------------------------------------------------------------
    // Who holds the mouse. A window that loses it gets WM_CAPTURECHANGED, also
    // when a popup menu takes it for as long as it is shown.
    WindowHandle capture = nullptr;
    int cursorShown = 0;  // the system cursor id SetCursor got last; 0 for none

    // ---- Shell -------------------------------------------------------------
    std::vector<std::string> opened;  // addresses given to ShellExecute
    // Called at every ShellExecute, before it returns.
    std::function<void(FakePlatform&)> onShellExecute;

    // ---- Internet ----------------------------------------------------------
    FakeInternet internet;

    // ---- Desktop -----------------------------------------------------------
    // What GetForegroundWindow, GetDesktopWindow and GetShellWindow answer.
    WindowHandle foregroundWindow = nullptr;
    WindowHandle desktopWindow = nullptr;
    WindowHandle shellWindow = nullptr;
    // The monitor a window belongs to is MonitorFromRect's (monitors above).
    // Windows that asked for session notices, and the display-state
    // notifications registered and not yet unregistered.
    std::set<WindowHandle> sessionWatchers;
    std::set<NotificationHandle> liveNotifications;
    // Network-change watches not yet cancelled: the window and message each
    // posts to.
    std::map<NetworkWatchHandle, std::pair<WindowHandle, std::uint32_t>> networkWatches;
    // The application desktop toolbars registered, with the place each set
    // (empty until it sets one). ABM_QUERYPOS moves a proposed place below
    // (top edge) or above (bottom edge) this many pixels that others hold.
    std::map<WindowHandle, Rect> appBars;
    std::int32_t appBarSpaceTaken = 0;
    // RegisterWindowMessage's answers.
    std::map<std::string, std::uint32_t> registeredMessages;

    // ---- Message queue -----------------------------------------------------
    std::vector<QueuedMessage> queue;  // PeekMessage takes from the front
    // Called on every PeekMessage, before the queue is looked at.
    std::function<void(FakePlatform&)> onPeekMessage;
    // Called on every WaitMessage instead of waiting.
    std::function<void(FakePlatform&)> onWaitMessage;
    // Dispatches every queued (and posted) message; returns how many.
    std::size_t DeliverPosted();

    // ---- Threads -------------------------------------------------------------
    enum class ThreadMode { Deferred, Real, Refuse };
    ThreadMode threadMode = ThreadMode::Deferred;
    // Runs the deferred threads (and those they start) to their end on the
    // calling thread, each under its own id. Returns how many ran.
    std::size_t RunStartedThreads();
    // Runs the deferred thread started first, alone; false when none waits.
    bool RunNextThread();
    // Runs the deferred thread started last, alone; false when none waits.
    bool RunLastThread();
    std::size_t PendingThreadCount() const;
    // Waits for every real thread started so far (and those they start).
    void JoinThreads();
    // Real threads started and not yet returned from their entry.
    std::size_t RunningThreadCount() const { return runningThreads_; }

    // ---- Registry ----------------------------------------------------------
    struct Value {
        std::uint32_t type = 0;
        std::vector<std::uint8_t> data;
    };
    // Key path ("HKLM\Software\Orvo") -> value name -> value.
    std::map<std::string, std::map<std::string, Value>> registry;
    std::set<RegKeyHandle> openKeys;
    // A key the user may not read or make: OpenKey and CreateKey answer
    // these statuses when they are not kErrorSuccess. A value named in
    // queryFailures answers its status.
    long openKeyFailure = kErrorSuccess;
    long createKeyFailure = kErrorSuccess;
    std::map<std::string, long> queryFailures;
    // Called at every QueryValue, with the value's name, before it is
    // answered: a test changes the value between two reads.
    std::function<void(FakePlatform&, const std::string&)> onQueryValue;
    void SetDword(const std::string& key, const std::string& name, std::uint32_t value);
    void SetText(const std::string& key, const std::string& name, const std::string& text,
                 std::uint32_t type = kRegSz);
    void SetRaw(const std::string& key, const std::string& name, std::uint32_t type, std::vector<std::uint8_t> data);
    bool HasValue(const std::string& key, const std::string& name) const;
    std::uint32_t Dword(const std::string& key, const std::string& name) const;
    std::string Text(const std::string& key, const std::string& name) const;

    // ---- WindowManager -----------------------------------------------------
    std::int32_t EnumWindows(EnumWindowsProc proc, LongParam param) override;
    int GetWindowTextLength(WindowHandle window) override;
    int GetWindowText(WindowHandle window, char* buffer, int capacity) override;
    bool SetWindowText(WindowHandle window, const char* text) override;
    WindowHandle GetActiveWindow() override;
    WindowHandle GetParent(WindowHandle window) override;
    WindowHandle GetDlgItem(WindowHandle dialog, int id) override;
    ProcResult DialogBoxParam(InstanceHandle instance, int templateId, WindowHandle owner, DialogProc proc,
                              LongParam param) override;
    std::intptr_t SetWindowLong(WindowHandle window, int index, std::intptr_t value) override;
    std::intptr_t GetWindowLong(WindowHandle window, int index) override;
    bool EndDialog(WindowHandle dialog, ProcResult result) override;
    void PostQuitMessage(int exitCode) override;
    ProcResult DefWindowProc(WindowHandle window, std::uint32_t message, MessageParam wParam,
                             LongParam lParam) override;
    int MessageBox(WindowHandle owner, const char* text, const char* caption, std::uint32_t style) override;
    bool GetWindowRect(WindowHandle window, Rect& rect) override;
    bool GetClientRect(WindowHandle window, Rect& rect) override;
    bool ClientToScreen(WindowHandle window, Point& point) override;
    bool MoveWindow(WindowHandle window, int x, int y, int width, int height, bool repaint) override;
    bool SetWindowPos(WindowHandle window, std::intptr_t insertAfter, int x, int y, int cx, int cy,
                      std::uint32_t flags) override;
    int GetSystemMetrics(int index) override;
    bool GetWorkArea(Rect& area) override;
    MonitorHandle MonitorFromRect(const Rect& rect) override;
    MonitorHandle PrimaryMonitor() override;
    bool GetMonitorInfo(MonitorHandle monitor, MonitorInfo& info) override;
    std::uint32_t GetDpiForMonitor(MonitorHandle monitor) override;
    std::uintptr_t SetTimer(WindowHandle window, std::uintptr_t id, std::uint32_t elapseMs) override;
    bool KillTimer(WindowHandle window, std::uintptr_t id) override;
    bool InvalidateRect(WindowHandle window, const Rect* rect, bool erase) override;
    MenuHandle CreatePopupMenu() override;
    bool AppendMenu(MenuHandle menu, std::uint32_t flags, std::uintptr_t idOrSubmenu, const char* text) override;
    bool TrackPopupMenu(MenuHandle menu, std::uint32_t flags, int x, int y, WindowHandle owner) override;
    bool DestroyMenu(MenuHandle menu) override;
    WindowHandle SetCapture(WindowHandle window) override;
    bool ReleaseCapture() override;
    CursorHandle LoadCursor(InstanceHandle instance, int cursorId) override;
    CursorHandle SetCursor(CursorHandle cursor) override;
    bool PostMessage(WindowHandle window, std::uint32_t message, MessageParam wParam, LongParam lParam) override;
    bool PeekMessage(QueuedMessage& message, std::uint32_t removeFlags) override;
    void DispatchMessage(const QueuedMessage& message) override;
    void WaitMessage(std::uint32_t timeoutMs) override;

    // ---- Gdi ---------------------------------------------------------------
    DcHandle GetDC(WindowHandle window) override;
    int ReleaseDC(WindowHandle window, DcHandle dc) override;
    DcHandle CreateCompatibleDC(DcHandle dc) override;
    bool DeleteDC(DcHandle dc) override;
    GdiObject LoadImage(InstanceHandle instance, int resourceId, std::uint32_t type, int cx, int cy,
                        std::uint32_t flags) override;
    GdiObject SelectObject(DcHandle dc, GdiObject object) override;
    bool DeleteObject(GdiObject object) override;
    int SetBkMode(DcHandle dc, int mode) override;
    ColorRef SetBkColor(DcHandle dc, ColorRef color) override;
    ColorRef GetSysColor(int index) override;
    GdiObject CreateSolidBrush(ColorRef color) override;
    GdiObject CreatePen(int style, int width, ColorRef color) override;
    bool FillRect(DcHandle dc, const Rect& rect, GdiObject brush) override;
    bool BitBlt(DcHandle dest, int x, int y, int width, int height, DcHandle source, int sourceX, int sourceY,
                std::uint32_t rop) override;
    bool Rectangle(DcHandle dc, int left, int top, int right, int bottom) override;
    bool MoveTo(DcHandle dc, int x, int y) override;
    bool LineTo(DcHandle dc, int x, int y) override;
    GdiObject CreateFontIndirect(const LogFont& font) override;
    int GetDeviceCaps(DcHandle dc, int index) override;
    bool DPtoLP(DcHandle dc, Point* points, int count) override;
    ColorRef SetTextColor(DcHandle dc, ColorRef color) override;
    bool TextOut(DcHandle dc, int x, int y, const char* text, int length) override;
    int GetTextExtentPoint32(DcHandle dc, const char* text, int length, Size& size) override;
    bool GetTextMetrics(DcHandle dc, TextMetrics& metrics) override;
    bool Flush() override;

    // ---- Registry ----------------------------------------------------------
    long OpenKey(RegistryRoot root, const char* path, RegKeyHandle& key) override;
    long CreateKey(RegistryRoot root, const char* path, RegKeyHandle& key) override;
    long QueryValue(RegKeyHandle key, const char* name, std::uint32_t* type, std::uint8_t* data,
                    std::uint32_t* size) override;
    long SetValue(RegKeyHandle key, const char* name, std::uint32_t type, const std::uint8_t* data,
                  std::uint32_t size) override;
    long CloseKey(RegKeyHandle key) override;

    // ---- Threads -----------------------------------------------------------
    std::uint32_t GetCurrentThreadId() override;
    bool StartThread(int priority, ThreadEntry entry, void* argument) override;
    void Sleep(std::uint32_t milliseconds) override;

    // ---- Shell -------------------------------------------------------------
    std::intptr_t ShellExecute(WindowHandle owner, const char* verb, const char* file, const char* parameters,
                               const char* directory, int show) override;

    // ---- Desktop -----------------------------------------------------------
    WindowHandle GetForegroundWindow() override;
    WindowHandle GetDesktopWindow() override;
    WindowHandle GetShellWindow() override;
    std::uint32_t GetWindowStyle(WindowHandle window) override;
    bool RegisterSessionNotification(WindowHandle window) override;
    bool UnregisterSessionNotification(WindowHandle window) override;
    NotificationHandle RegisterDisplayStateNotification(WindowHandle window) override;
    bool UnregisterPowerSettingNotification(NotificationHandle notification) override;
    NetworkWatchHandle RegisterNetworkChangeNotification(WindowHandle window, std::uint32_t message) override;
    bool UnregisterNetworkChangeNotification(NetworkWatchHandle watch) override;
    // A network interface changed: posts each watcher's notice.
    void NetworkChanged();
    std::uintptr_t AppBarMessage(std::uint32_t message, AppBarData& data) override;
    std::uint32_t RegisterWindowMessage(const char* name) override;

private:
    struct PendingThread {
        ThreadEntry entry = nullptr;
        void* argument = nullptr;
        std::uint32_t id = 0;
    };

    std::unique_lock<std::recursive_mutex> Guard() const { return std::unique_lock<std::recursive_mutex>(mutex_); }
    void Log(std::string line);
    // WM_CAPTURECHANGED to `previous` when `next` takes the mouse from it.
    void TellCaptureLost(WindowHandle previous, WindowHandle next);
    bool RunPendingThread(bool last);

    mutable std::recursive_mutex mutex_;
    std::vector<PendingThread> pendingThreads_;
    std::vector<std::thread> realThreads_;
    std::uint32_t startedThreads_ = 0;
    std::atomic<std::size_t> runningThreads_{0};

    struct DcState {
        std::map<std::string, GdiObject> selected;  // kind -> object
        int bkMode = kOpaque;
        ColorRef textColor = 0;
        ColorRef bkColor = 0xFFFFFF;
    };

    WindowHandle CreateDialogWindow(int templateId, WindowHandle owner, DialogProc proc, LongParam param);
    std::vector<Monitor> MonitorsNow() const;  // under the lock
    static MonitorHandle MonitorToken(std::size_t index);
    // The DPI of the monitor a top-level window now stands on, when it
    // differs from the one it was last told of; 0 otherwise.
    std::uint32_t DpiChangeFor(WindowHandle handle);
    GdiObject NewObject(const std::string& kind, bool stock = false);
    DcHandle NewDc();
    std::string RootName(RegistryRoot root) const;

    std::uintptr_t nextHandle_ = 1;
    std::map<std::uintptr_t, std::string> names_;
    std::map<WindowHandle, Window> windows_;
    std::vector<WindowHandle> windowOrder_;
    std::map<int, WindowHandle> lastDialog_;
    std::map<GdiObject, std::string> objectKinds_;
    std::map<DcHandle, DcState> dcs_;
    std::map<RegKeyHandle, std::string> keyPaths_;

    struct MenuItem {
        std::uint32_t flags = 0;
        std::uintptr_t id = 0;
        std::string text;
        MenuHandle submenu = nullptr;
    };
    std::map<MenuHandle, std::vector<MenuItem>> menus_;
    std::map<CursorHandle, int> cursors_;
    std::vector<MenuLine> Lines(MenuHandle menu) const;
    void DestroyMenuTree(MenuHandle menu);
};

}  // namespace platform::fake
