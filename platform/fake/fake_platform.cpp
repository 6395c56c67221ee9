#include "platform/fake/fake_platform.h"

#include <algorithm>
#include <cstring>
#include <sstream>
#include <utility>
#include <stdexcept>
#include <chrono>
#include <climits>
#include <thread>

namespace platform::fake {

namespace {

constexpr std::uint32_t kWmSetFont = 0x0030;


}  // namespace

FakePlatform::FakePlatform() {
    sysColors[kColorBtnFace] = 0xF0F0F0;
    sysColors[kColorBtnHighlight] = 0xFFFFFF;
}


std::string FakePlatform::NameOf(const void* handle) const {
    const auto guard = Guard();
    if (handle == nullptr) return "null";
    const auto it = names_.find(reinterpret_cast<std::uintptr_t>(handle));
    return it == names_.end() ? "?" : it->second;
}

// ---- Windows ----------------------------------------------------------------

WindowHandle FakePlatform::AddWindow(const std::string& title, WindowHandle parent) {
    const auto guard = Guard();
    const auto handle = reinterpret_cast<WindowHandle>(nextHandle_++);
    names_[reinterpret_cast<std::uintptr_t>(handle)] = "w" + std::to_string(windows_.size() + 1);
    Window window;
    window.title = title;
    window.parent = parent;
    window.ownerThread = GetCurrentThreadId();
    windows_[handle] = window;
    windowOrder_.push_back(handle);
    return handle;
}

FakePlatform::Window& FakePlatform::window(WindowHandle handle) {
    const auto guard = Guard();
    const auto it = windows_.find(handle);
    if (it == windows_.end()) throw std::logic_error("unknown fake window");
    return it->second;
}

WindowHandle FakePlatform::LastDialog(int templateId) const {
    const auto guard = Guard();
    const auto it = lastDialog_.find(templateId);
    return it == lastDialog_.end() ? nullptr : it->second;
}

ProcResult FakePlatform::Send(WindowHandle handle, std::uint32_t message, MessageParam wParam, LongParam lParam) {
    DialogProc proc = nullptr;
    {
        const auto guard = Guard();
        const Window& target = window(handle);
        if (!target.alive) return 0;
        proc = target.proc;
    }
    // Called without the fake's lock: the procedure may wait for a worker
    // that needs the fake meanwhile.
    return proc == nullptr ? 0 : proc(handle, message, wParam, lParam);
}

std::int32_t FakePlatform::EnumWindows(EnumWindowsProc proc, LongParam param) {
    std::vector<WindowHandle> order;
    {
        const auto guard = Guard();
        Log(Format("EnumWindows"));
        if (enumerationFails) return 0;
        for (WindowHandle handle : windowOrder_) {  // a copy: callbacks may add windows
            const Window& candidate = windows_.at(handle);
            if (candidate.alive && candidate.parent == nullptr) order.push_back(handle);
        }
    }
    for (WindowHandle handle : order) {
        if (proc(handle, param) == 0) return 0;
    }
    return 1;
}

int FakePlatform::GetWindowTextLength(WindowHandle handle) {
    const auto guard = Guard();
    Log(Format("GetWindowTextLength", NameOf(handle)));
    return static_cast<int>(window(handle).title.size());
}

int FakePlatform::GetWindowText(WindowHandle handle, char* buffer, int capacity) {
    const auto guard = Guard();
    Log(Format("GetWindowText", NameOf(handle), capacity));
    if (capacity <= 0) return 0;
    const std::string& title = window(handle).title;
    const std::size_t copied = std::min(title.size(), static_cast<std::size_t>(capacity - 1));
    std::memcpy(buffer, title.data(), copied);
    buffer[copied] = '\0';
    return static_cast<int>(copied);
}

bool FakePlatform::SetWindowText(WindowHandle handle, const char* text) {
    const auto guard = Guard();
    Log(Format("SetWindowText", NameOf(handle), Quote(text)));
    window(handle).title = text;
    return true;
}

WindowHandle FakePlatform::GetActiveWindow() {
    const auto guard = Guard();
    Log(Format("GetActiveWindow"));
    return activeWindow;
}

WindowHandle FakePlatform::GetParent(WindowHandle handle) {
    const auto guard = Guard();
    Log(Format("GetParent", NameOf(handle)));
    return window(handle).parent;
}

WindowHandle FakePlatform::GetDlgItem(WindowHandle dialog, int id) {
    const auto guard = Guard();
    Log(Format("GetDlgItem", NameOf(dialog), id));
    for (const auto& [handle, candidate] : windows_) {
        if (candidate.alive && candidate.parent == dialog && candidate.controlId == id) return handle;
    }
    return nullptr;
}

WindowHandle FakePlatform::CreateDialogWindow(int templateId, WindowHandle owner, DialogProc proc, LongParam param) {
    const WindowHandle handle = AddWindow("", owner);
    {
        const auto guard = Guard();
        lastDialog_[templateId] = handle;
        Window& created = window(handle);
        created.proc = proc;
        created.templateId = templateId;
        const auto rect = templateRects.find(templateId);
        if (rect != templateRects.end()) created.rect = rect->second;
        created.dpi = MonitorsNow()[MonitorIndexFor(created.rect)].dpi;
        const auto controls = templateControls.find(templateId);
        if (controls != templateControls.end()) {
            for (const ControlTemplate& control : controls->second) {
                window(AddWindow(control.text, handle)).controlId = control.id;
            }
        }
    }
    if (sendSetFontFirst) Send(handle, kWmSetFont, 0, 0);
    Send(handle, kWmInitDialog, 0, param);
    return handle;
}

WindowHandle FakePlatform::CreateDeferredDialog(std::size_t index) {
    const DeferredDialog request = deferredDialogs.at(index);
    return CreateDialogWindow(request.templateId, request.owner, request.proc, request.param);
}

ProcResult FakePlatform::DialogBoxParam(InstanceHandle, int templateId, WindowHandle owner, DialogProc proc,
                                        LongParam param) {
    std::function<void(FakePlatform&)> deferred;
    {
        const auto guard = Guard();
        Log(Format("DialogBoxParam", templateId, NameOf(owner), param));
        if (dialogsFail) return -1;
        if (deferCreation) {
            deferredDialogs.push_back({templateId, owner, proc, param});
            deferred = whileDeferred;
        }
    }
    if (deferCreation) {
        if (deferred) deferred(*this);
        return 0;
    }
    const WindowHandle handle = CreateDialogWindow(templateId, owner, proc, param);
    ModalScript script;
    {
        const auto guard = Guard();
        const auto found = modalScripts.find(templateId);
        if (found != modalScripts.end() && !window(handle).ended) script = found->second;
    }
    if (script) script(*this, handle);
    Send(handle, kWmDestroy);
    Send(handle, kWmNcDestroy);
    const auto guard = Guard();
    Window& closed = window(handle);
    closed.alive = false;
    closed.timers.clear();
    for (auto& [child, state] : windows_) {
        if (state.parent == handle && state.controlId != 0) state.alive = false;
    }
    return closed.ended ? closed.endResult : -1;
}

std::intptr_t FakePlatform::SetWindowLong(WindowHandle handle, int index, std::intptr_t value) {
    const auto guard = Guard();
    Window& target = window(handle);
    std::intptr_t previous = 0;
    switch (index) {
    case kDwlMsgResult:
        Log(Format("SetWindowLong", NameOf(handle), "DWL_MSGRESULT", value));
        previous = std::exchange(target.msgResult, value);
        break;
    case kDwlDlgProc:
        Log(Format("SetWindowLong", NameOf(handle), "DWL_DLGPROC"));
        previous = reinterpret_cast<std::intptr_t>(target.proc);
        target.proc = reinterpret_cast<DialogProc>(value);
        break;
    case kGwlUserData:
        Log(Format("SetWindowLong", NameOf(handle), "GWL_USERDATA", value == 0 ? "0" : "object"));
        previous = std::exchange(target.userData, value);
        break;
    default:
        Log(Format("SetWindowLong", NameOf(handle), index, value));
        break;
    }
    return previous;
}

std::intptr_t FakePlatform::GetWindowLong(WindowHandle handle, int index) {
    const auto guard = Guard();
    const Window& target = window(handle);
    switch (index) {
    case kDwlMsgResult:
        return target.msgResult;
    case kDwlDlgProc:
        return reinterpret_cast<std::intptr_t>(target.proc);
    case kGwlUserData:
        return target.userData;
    default:
        return 0;
    }
}

bool FakePlatform::EndDialog(WindowHandle handle, ProcResult result) {
    const auto guard = Guard();
    Log(Format("EndDialog", NameOf(handle), result));
    Window& target = window(handle);
    target.ended = true;
    target.endResult = result;
    return true;
}

void FakePlatform::PostQuitMessage(int exitCode) {
    const auto guard = Guard();
    Log(Format("PostQuitMessage", exitCode));
    postedQuitCode = exitCode;
}

ProcResult FakePlatform::DefWindowProc(WindowHandle handle, std::uint32_t message, MessageParam, LongParam) {
    const auto guard = Guard();
    Log(Format("DefWindowProc", NameOf(handle), message));
    return message == kWmNcHitTest ? defaultHitCode : 0;
}

int FakePlatform::MessageBox(WindowHandle owner, const char* text, const char* caption, std::uint32_t style) {
    std::function<void(FakePlatform&)> during;
    {
        const auto guard = Guard();
        Log(Format("MessageBox", NameOf(owner), Quote(caption), style));
        messageBoxes.push_back({owner, text != nullptr ? text : "", caption != nullptr ? caption : "", style});
        during = onMessageBox;
    }
    if (during) during(*this);
    const auto guard = Guard();
    return messageBoxAnswer;
}

bool FakePlatform::GetWindowRect(WindowHandle handle, Rect& rect) {
    const auto guard = Guard();
    Log(Format("GetWindowRect", NameOf(handle)));
    rect = window(handle).rect;
    return true;
}

bool FakePlatform::GetClientRect(WindowHandle handle, Rect& rect) {
    const auto guard = Guard();
    Log(Format("GetClientRect", NameOf(handle)));
    const Rect& outer = window(handle).rect;
    rect = Rect{0, 0, outer.right - outer.left, outer.bottom - outer.top};
    return true;
}

bool FakePlatform::ClientToScreen(WindowHandle handle, Point& point) {
    const auto guard = Guard();
    Log(Format("ClientToScreen", NameOf(handle), point.x, point.y));
    point.x += window(handle).rect.left;
    point.y += window(handle).rect.top;
    return true;
}

bool FakePlatform::MoveWindow(WindowHandle handle, int x, int y, int width, int height, bool repaint) {
    std::uint32_t oldDpi = 0;
    std::uint32_t newDpi = 0;
    {
        const auto guard = Guard();
        Log(Format("MoveWindow", NameOf(handle), x, y, width, height, repaint ? "repaint" : "no-repaint"));
        window(handle).rect = Rect{x, y, x + width, y + height};
        oldDpi = window(handle).dpi;
        newDpi = DpiChangeFor(handle);
    }
    if (newDpi != 0) {
        // The size scaled for the new DPI, the top-left corner kept.
        const auto scaled = [&](int length) {
            return static_cast<int>((std::int64_t{length} * newDpi + oldDpi / 2) / oldDpi);
        };
        Rect suggested{x, y, x + scaled(width), y + scaled(height)};
        Send(handle, kWmDpiChanged, MessageParam{newDpi} | MessageParam{newDpi} << 16,
             reinterpret_cast<LongParam>(&suggested));
    }
    return true;
}

std::uint32_t FakePlatform::DpiChangeFor(WindowHandle handle) {
    Window& moved = window(handle);
    if (moved.proc == nullptr || moved.controlId != 0 || moved.dpi == 0) return 0;
    const std::uint32_t now = MonitorsNow()[MonitorIndexFor(moved.rect)].dpi;
    if (now == moved.dpi) return 0;
    moved.dpi = now;
    return now;
}

std::vector<FakePlatform::Monitor> FakePlatform::MonitorsNow() const {
    if (!monitors.empty()) return monitors;
    return {Monitor{Rect{0, 0, screenWidth, screenHeight}, workArea, static_cast<std::uint32_t>(logPixelsY)}};
}

std::size_t FakePlatform::MonitorIndexFor(const Rect& rect) const {
    const std::vector<Monitor> all = MonitorsNow();
    // The monitor that shows most of the rectangle; failing that, the nearest.
    std::size_t best = 0;
    std::int64_t bestArea = 0;
    std::int64_t bestDistance = INT64_MAX;
    for (std::size_t i = 0; i < all.size(); ++i) {
        const Rect& area = all[i].area;
        const std::int64_t width = std::min(rect.right, area.right) - std::max(rect.left, area.left);
        const std::int64_t height = std::min(rect.bottom, area.bottom) - std::max(rect.top, area.top);
        if (width > 0 && height > 0 && width * height > bestArea) {
            best = i;
            bestArea = width * height;
        }
        const std::int64_t gapX = std::max<std::int64_t>({0, area.left - rect.right, rect.left - area.right});
        const std::int64_t gapY = std::max<std::int64_t>({0, area.top - rect.bottom, rect.top - area.bottom});
        if (bestArea == 0 && gapX * gapX + gapY * gapY < bestDistance) {
            best = i;
            bestDistance = gapX * gapX + gapY * gapY;
        }
    }
    return best;
}

MonitorHandle FakePlatform::MonitorToken(std::size_t index) {
    return reinterpret_cast<MonitorHandle>(static_cast<std::uintptr_t>(index + 1));
}

MonitorHandle FakePlatform::MonitorFromRect(const Rect& rect) {
    const auto guard = Guard();
    Log(Format("MonitorFromRect", rect.left, rect.top, rect.right, rect.bottom));
    return MonitorToken(MonitorIndexFor(rect));
}

MonitorHandle FakePlatform::PrimaryMonitor() {
    const auto guard = Guard();
    Log(Format("PrimaryMonitor"));
    return MonitorToken(0);
}

bool FakePlatform::GetMonitorInfo(MonitorHandle monitor, MonitorInfo& info) {
    const auto guard = Guard();
    const std::size_t index = reinterpret_cast<std::uintptr_t>(monitor) - 1;
    Log(Format("GetMonitorInfo", index + 1));
    const std::vector<Monitor> all = MonitorsNow();
    if (index >= all.size()) return false;
    info = MonitorInfo{all[index].area, all[index].work, index == 0};
    return true;
}

std::uint32_t FakePlatform::GetDpiForMonitor(MonitorHandle monitor) {
    const auto guard = Guard();
    const std::size_t index = reinterpret_cast<std::uintptr_t>(monitor) - 1;
    Log(Format("GetDpiForMonitor", index + 1));
    const std::vector<Monitor> all = MonitorsNow();
    return index < all.size() ? all[index].dpi : kBaseDpi;
}

bool FakePlatform::SetWindowPos(WindowHandle handle, std::intptr_t insertAfter, int x, int y, int cx, int cy,
                                std::uint32_t flags) {
    const auto guard = Guard();
    const char* where = insertAfter == kHwndTopmost ? "HWND_TOPMOST"
                        : insertAfter == kHwndNoTopmost ? "HWND_NOTOPMOST"
                                                        : "other";
    Log(Format("SetWindowPos", NameOf(handle), where, x, y, cx, cy, flags));
    if (insertAfter == kHwndTopmost) window(handle).topmost = true;
    if (insertAfter == kHwndNoTopmost) window(handle).topmost = false;
    return true;
}

int FakePlatform::GetSystemMetrics(int index) {
    const auto guard = Guard();
    Log(Format("GetSystemMetrics", index));
    return index == kSmCxScreen ? screenWidth : 0;
}

bool FakePlatform::GetWorkArea(Rect& area) {
    const auto guard = Guard();
    Log(Format("GetWorkArea"));
    area = workArea;
    return true;
}

std::uintptr_t FakePlatform::SetTimer(WindowHandle handle, std::uintptr_t id, std::uint32_t elapseMs) {
    const auto guard = Guard();
    // As on Windows, a window's timers belong to the window's own thread.
    if (window(handle).ownerThread != GetCurrentThreadId()) {
        Log(Format("SetTimer", NameOf(handle), id, elapseMs) + " refused: not the window's thread");
        return 0;
    }
    Log(Format("SetTimer", NameOf(handle), id, elapseMs));
    window(handle).timers[id] = elapseMs;
    ++window(handle).timerSets[id];
    return id;
}

bool FakePlatform::KillTimer(WindowHandle handle, std::uintptr_t id) {
    const auto guard = Guard();
    if (window(handle).ownerThread != GetCurrentThreadId()) {
        Log(Format("KillTimer", NameOf(handle), id) + " refused: not the window's thread");
        return false;
    }
    Log(Format("KillTimer", NameOf(handle), id));
    return window(handle).timers.erase(id) > 0;
}

bool FakePlatform::InvalidateRect(WindowHandle handle, const Rect* rect, bool erase) {
    const auto guard = Guard();
    if (rect == nullptr) {
        Log(Format("InvalidateRect", NameOf(handle), "all", erase ? "erase" : "keep"));
    } else {
        Log(Format("InvalidateRect", NameOf(handle), rect->left, rect->top, rect->right, rect->bottom,
                   erase ? "erase" : "keep"));
    }
    return true;
}

// ---- GDI --------------------------------------------------------------------

GdiObject FakePlatform::NewObject(const std::string& kind, bool stock) {
    const auto object = reinterpret_cast<GdiObject>(nextHandle_++);
    names_[reinterpret_cast<std::uintptr_t>(object)] = (stock ? "stock-" : "") + kind + std::to_string(nextHandle_);
    objectKinds_[object] = kind;
    if (!stock) liveObjects.insert(object);
    return object;
}

DcHandle FakePlatform::NewDc() {
    const auto dc = reinterpret_cast<DcHandle>(nextHandle_++);
    names_[reinterpret_cast<std::uintptr_t>(dc)] = "dc" + std::to_string(dcs_.size() + 1);
    DcState state;
    for (const char* kind : {"bitmap", "brush", "pen", "font"}) state.selected[kind] = NewObject(kind, true);
    dcs_[dc] = state;
    liveDcs.insert(dc);
    return dc;
}

DcHandle FakePlatform::GetDC(WindowHandle handle) {
    const auto guard = Guard();
    const DcHandle dc = NewDc();
    Log(Format("GetDC", NameOf(handle)) + " -> " + NameOf(dc));
    return dc;
}

int FakePlatform::ReleaseDC(WindowHandle handle, DcHandle dc) {
    const auto guard = Guard();
    Log(Format("ReleaseDC", NameOf(handle), NameOf(dc)));
    return liveDcs.erase(dc) > 0 ? 1 : 0;
}

DcHandle FakePlatform::CreateCompatibleDC(DcHandle dc) {
    const auto guard = Guard();
    const DcHandle created = NewDc();
    Log(Format("CreateCompatibleDC", NameOf(dc)) + " -> " + NameOf(created));
    return created;
}

bool FakePlatform::DeleteDC(DcHandle dc) {
    const auto guard = Guard();
    Log(Format("DeleteDC", NameOf(dc)));
    return liveDcs.erase(dc) > 0;
}

GdiObject FakePlatform::LoadImage(InstanceHandle, int resourceId, std::uint32_t type, int cx, int cy,
                                  std::uint32_t flags) {
    const auto guard = Guard();
    const GdiObject image = NewObject("bitmap");
    Log(Format("LoadImage", resourceId, type, cx, cy, flags) + " -> " + NameOf(image));
    return image;
}

GdiObject FakePlatform::SelectObject(DcHandle dc, GdiObject object) {
    const auto guard = Guard();
    Log(Format("SelectObject", NameOf(dc), NameOf(object)));
    const auto state = dcs_.find(dc);
    const auto kind = objectKinds_.find(object);
    if (state == dcs_.end() || kind == objectKinds_.end()) return nullptr;
    return std::exchange(state->second.selected[kind->second], object);
}

bool FakePlatform::DeleteObject(GdiObject object) {
    const auto guard = Guard();
    Log(Format("DeleteObject", NameOf(object)));
    // GDI refuses to delete an object that is still selected into a context.
    for (const auto& [dc, state] : dcs_) {
        if (liveDcs.count(dc) == 0) continue;
        for (const auto& [kind, selected] : state.selected) {
            if (selected == object) return false;
        }
    }
    return liveObjects.erase(object) > 0;
}

std::map<std::string, std::size_t> FakePlatform::LiveCounts() const {
    const auto guard = Guard();
    std::map<std::string, std::size_t> counts{{"bitmap", 0}, {"brush", 0}, {"font", 0}, {"pen", 0}};
    for (const GdiObject object : liveObjects) ++counts[objectKinds_.at(object)];
    counts["dc"] = liveDcs.size();
    return counts;
}

GdiObject FakePlatform::SelectedObject(DcHandle dc, const std::string& kind) const {
    const auto guard = Guard();
    const auto state = dcs_.find(dc);
    if (state == dcs_.end()) return nullptr;
    const auto it = state->second.selected.find(kind);
    return it == state->second.selected.end() ? nullptr : it->second;
}

int FakePlatform::SetBkMode(DcHandle dc, int mode) {
    const auto guard = Guard();
    Log(Format("SetBkMode", NameOf(dc), mode));
    return std::exchange(dcs_[dc].bkMode, mode);
}

ColorRef FakePlatform::SetBkColor(DcHandle dc, ColorRef color) {
    const auto guard = Guard();
    Log(Format("SetBkColor", NameOf(dc), color));
    return std::exchange(dcs_[dc].bkColor, color);
}

ColorRef FakePlatform::BackgroundColor(DcHandle dc) const { return dcs_.at(dc).bkColor; }
int FakePlatform::BackgroundMode(DcHandle dc) const { return dcs_.at(dc).bkMode; }

ColorRef FakePlatform::GetSysColor(int index) {
    const auto guard = Guard();
    Log(Format("GetSysColor", index));
    const auto it = sysColors.find(index);
    return it == sysColors.end() ? 0 : it->second;
}

GdiObject FakePlatform::CreateSolidBrush(ColorRef color) {
    const auto guard = Guard();
    const GdiObject brush = NewObject("brush");
    Log(Format("CreateSolidBrush", color) + " -> " + NameOf(brush));
    return brush;
}

GdiObject FakePlatform::CreatePen(int style, int width, ColorRef color) {
    const auto guard = Guard();
    const GdiObject pen = NewObject("pen");
    Log(Format("CreatePen", style, width, color) + " -> " + NameOf(pen));
    return pen;
}

bool FakePlatform::FillRect(DcHandle dc, const Rect& rect, GdiObject brush) {
    const auto guard = Guard();
    Log(Format("FillRect", NameOf(dc), rect.left, rect.top, rect.right, rect.bottom, NameOf(brush)));
    return liveDcs.count(dc) > 0;
}

bool FakePlatform::BitBlt(DcHandle dest, int x, int y, int width, int height, DcHandle source, int sourceX,
                          int sourceY, std::uint32_t rop) {
    const auto guard = Guard();
    Log(Format("BitBlt", NameOf(dest), x, y, width, height, NameOf(source), sourceX, sourceY, rop));
    return liveDcs.count(dest) > 0 && liveDcs.count(source) > 0;
}

bool FakePlatform::Rectangle(DcHandle dc, int left, int top, int right, int bottom) {
    const auto guard = Guard();
    Log(Format("Rectangle", NameOf(dc), left, top, right, bottom, NameOf(SelectedObject(dc, "brush")),
               NameOf(SelectedObject(dc, "pen"))));
    return liveDcs.count(dc) > 0;
}

bool FakePlatform::MoveTo(DcHandle dc, int x, int y) {
    const auto guard = Guard();
    Log(Format("MoveTo", NameOf(dc), x, y));
    return liveDcs.count(dc) > 0;
}

bool FakePlatform::LineTo(DcHandle dc, int x, int y) {
    const auto guard = Guard();
    Log(Format("LineTo", NameOf(dc), x, y, NameOf(SelectedObject(dc, "pen"))));
    return liveDcs.count(dc) > 0;
}

GdiObject FakePlatform::CreateFontIndirect(const LogFont& font) {
    const auto guard = Guard();
    if (fontsFail) {
        Log(Format("CreateFontIndirect", std::string("\"") + font.faceName + "\"", font.height) + " -> null");
        return nullptr;
    }
    const GdiObject made = NewObject("font");
    Log(Format("CreateFontIndirect", std::string("\"") + font.faceName + "\"", font.height, font.weight,
               static_cast<int>(font.charSet)) +
        " -> " + NameOf(made));
    fontsMade.push_back({made, font});
    return made;
}

int FakePlatform::GetDeviceCaps(DcHandle dc, int index) {
    const auto guard = Guard();
    Log(Format("GetDeviceCaps", NameOf(dc), index));
    return index == kLogPixelsY ? logPixelsY : 0;
}

bool FakePlatform::DPtoLP(DcHandle dc, Point* points, int count) {
    const auto guard = Guard();
    Log(Format("DPtoLP", NameOf(dc), count));
    return points != nullptr;  // the identity mapping
}

ColorRef FakePlatform::SetTextColor(DcHandle dc, ColorRef color) {
    const auto guard = Guard();
    Log(Format("SetTextColor", NameOf(dc), color));
    return std::exchange(dcs_[dc].textColor, color);
}

ColorRef FakePlatform::TextColor(DcHandle dc) const { return dcs_.at(dc).textColor; }

bool FakePlatform::TextOut(DcHandle dc, int x, int y, const char* text, int length) {
    const auto guard = Guard();
    const std::string drawn(text, static_cast<std::size_t>(std::max(length, 0)));
    Log(Format("TextOut", NameOf(dc), x, y, "\"" + drawn + "\""));
    textsDrawn.push_back({dc, x, y, drawn, dcs_[dc].textColor, SelectedObject(dc, "font")});
    return true;
}

int FakePlatform::GetTextExtentPoint32(DcHandle dc, const char* text, int length, Size& size) {
    if (onMeasure) onMeasure(*this);
    Log(Format("GetTextExtentPoint32", NameOf(dc), "\"" + std::string(text, static_cast<std::size_t>(std::max(length, 0))) + "\""));
    if (measuringFails) return 0;
    size = Size{characterWidth * length, textHeight};
    return 1;
}

bool FakePlatform::GetTextMetrics(DcHandle dc, TextMetrics& metrics) {
    const auto guard = Guard();
    Log(Format("GetTextMetrics", NameOf(dc)));
    if (metricsFail) return false;
    metrics = TextMetrics{textHeight, averageCharacterWidth};
    return true;
}

bool FakePlatform::Flush() {
    const auto guard = Guard();
    Log(Format("GdiFlush"));
    return true;
}

// ---- Registry -----------------------------------------------------------------

std::string FakePlatform::RootName(RegistryRoot root) const {
    return root == RegistryRoot::LocalMachine ? "HKLM" : "HKCU";
}

long FakePlatform::OpenKey(RegistryRoot root, const char* path, RegKeyHandle& key) {
    const auto guard = Guard();
    const std::string full = RootName(root) + "\\" + path;
    Log(Format("RegOpenKey", full));
    if (openKeyFailure != kErrorSuccess) {
        key = nullptr;
        return openKeyFailure;
    }
    if (registry.count(full) == 0) {
        key = nullptr;
        return kErrorFileNotFound;
    }
    key = reinterpret_cast<RegKeyHandle>(nextHandle_++);
    names_[reinterpret_cast<std::uintptr_t>(key)] = "k" + std::to_string(keyPaths_.size() + 1);
    keyPaths_[key] = full;
    openKeys.insert(key);
    return kErrorSuccess;
}

long FakePlatform::CreateKey(RegistryRoot root, const char* path, RegKeyHandle& key) {
    const auto guard = Guard();
    const std::string full = RootName(root) + "\\" + path;
    Log(Format("RegCreateKey", full));
    if (createKeyFailure != kErrorSuccess) {
        key = nullptr;
        return createKeyFailure;
    }
    registry[full];
    key = reinterpret_cast<RegKeyHandle>(nextHandle_++);
    names_[reinterpret_cast<std::uintptr_t>(key)] = "k" + std::to_string(keyPaths_.size() + 1);
    keyPaths_[key] = full;
    openKeys.insert(key);
    return kErrorSuccess;
}

long FakePlatform::QueryValue(RegKeyHandle key, const char* name, std::uint32_t* type, std::uint8_t* data,
                              std::uint32_t* size) {
    std::function<void(FakePlatform&, const std::string&)> before;
    {
        const auto guard = Guard();
        before = onQueryValue;
    }
    if (before) before(*this, name);
    const auto guard = Guard();
    Log(Format("RegQueryValue", NameOf(key), Quote(name), data == nullptr ? "no-buffer" : "buffer",
               size == nullptr ? 0 : *size));
    const auto failure = queryFailures.find(name);
    if (failure != queryFailures.end()) return failure->second;
    const auto values = registry.find(keyPaths_.at(key));
    if (values == registry.end()) return kErrorFileNotFound;
    const auto value = values->second.find(name);
    if (value == values->second.end()) return kErrorFileNotFound;
    if (type != nullptr) *type = value->second.type;
    const auto actual = static_cast<std::uint32_t>(value->second.data.size());
    if (data == nullptr) {
        if (size != nullptr) *size = actual;
        return kErrorSuccess;
    }
    if (size == nullptr) return kErrorMoreData;
    if (*size < actual) {
        *size = actual;
        return kErrorMoreData;
    }
    std::copy(value->second.data.begin(), value->second.data.end(), data);
    *size = actual;
    return kErrorSuccess;
}

long FakePlatform::SetValue(RegKeyHandle key, const char* name, std::uint32_t type, const std::uint8_t* data,
                            std::uint32_t size) {
    const auto guard = Guard();
    Log(Format("RegSetValue", NameOf(key), Quote(name), type, size));
    Value& value = registry[keyPaths_.at(key)][name];
    value.type = type;
    value.data.assign(data, data + size);
    return kErrorSuccess;
}

long FakePlatform::CloseKey(RegKeyHandle key) {
    const auto guard = Guard();
    Log(Format("RegCloseKey", NameOf(key)));
    return openKeys.erase(key) > 0 ? kErrorSuccess : kErrorFileNotFound;
}

void FakePlatform::SetDword(const std::string& key, const std::string& name, std::uint32_t value) {
    const auto guard = Guard();
    SetRaw(key, name, kRegDword,
           {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
            static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)});
}

void FakePlatform::SetText(const std::string& key, const std::string& name, const std::string& text,
                           std::uint32_t type) {
    const auto guard = Guard();
    std::vector<std::uint8_t> data(text.begin(), text.end());
    data.push_back(0);
    SetRaw(key, name, type, std::move(data));
}

void FakePlatform::SetRaw(const std::string& key, const std::string& name, std::uint32_t type,
                          std::vector<std::uint8_t> data) {
    const auto guard = Guard();
    registry[key][name] = Value{type, std::move(data)};
}

bool FakePlatform::HasValue(const std::string& key, const std::string& name) const {
    const auto guard = Guard();
    const auto values = registry.find(key);
    return values != registry.end() && values->second.count(name) > 0;
}

std::uint32_t FakePlatform::Dword(const std::string& key, const std::string& name) const {
    const auto guard = Guard();
    const Value& value = registry.at(key).at(name);
    if (value.type != kRegDword || value.data.size() != 4) throw std::logic_error(name + " is no DWORD");
    return static_cast<std::uint32_t>(value.data[0]) | static_cast<std::uint32_t>(value.data[1]) << 8 |
           static_cast<std::uint32_t>(value.data[2]) << 16 | static_cast<std::uint32_t>(value.data[3]) << 24;
}

std::string FakePlatform::Text(const std::string& key, const std::string& name) const {
    const auto guard = Guard();
    const Value& value = registry.at(key).at(name);
    return std::string(value.data.begin(), value.data.end());
}

namespace {
// The id of a thread started through the fake, 0 on the test's own thread.
thread_local std::uint32_t startedThreadId = 0;
constexpr std::uint32_t kFirstStartedThreadId = 101;
}  // namespace

std::uint32_t FakePlatform::GetCurrentThreadId() {
    return startedThreadId != 0 ? startedThreadId : currentThreadId.load();
}

bool FakePlatform::StartThread(int priority, ThreadEntry entry, void* argument) {
    const auto guard = Guard();
    Log(Format("StartThread", priority));
    if (threadMode == ThreadMode::Refuse) return false;
    const std::uint32_t id = kFirstStartedThreadId + startedThreads_++;
    if (threadMode == ThreadMode::Deferred) {
        pendingThreads_.push_back({entry, argument, id});
        return true;
    }
    ++runningThreads_;
    realThreads_.emplace_back([this, entry, argument, id] {
        startedThreadId = id;
        entry(argument);
        --runningThreads_;
    });
    return true;
}

std::size_t FakePlatform::RunStartedThreads() {
    std::size_t ran = 0;
    while (RunNextThread()) ++ran;
    return ran;
}

bool FakePlatform::RunNextThread() { return RunPendingThread(false); }

bool FakePlatform::RunLastThread() { return RunPendingThread(true); }

bool FakePlatform::RunPendingThread(bool last) {
    PendingThread next{};
    {
        const auto guard = Guard();
        if (pendingThreads_.empty()) return false;
        const auto chosen = last ? pendingThreads_.end() - 1 : pendingThreads_.begin();
        next = *chosen;
        pendingThreads_.erase(chosen);
    }
    const std::uint32_t outer = std::exchange(startedThreadId, next.id);
    next.entry(next.argument);
    startedThreadId = outer;
    return true;
}

std::size_t FakePlatform::PendingThreadCount() const {
    const auto guard = Guard();
    return pendingThreads_.size();
}

void FakePlatform::JoinThreads() {
    for (;;) {
        std::vector<std::thread> running;
        {
            const auto guard = Guard();
            running.swap(realThreads_);
        }
        if (running.empty()) return;
        for (std::thread& thread : running) thread.join();
    }
}

FakePlatform::~FakePlatform() {
    // Threads outlive nothing they use: what is still pending runs now, and
    // what runs is waited for.
    RunStartedThreads();
    JoinThreads();
}

void FakePlatform::Sleep(std::uint32_t milliseconds) {
    {
        const auto guard = Guard();
        Log(Format("Sleep", milliseconds));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

std::intptr_t FakePlatform::ShellExecute(WindowHandle owner, const char* verb, const char* file,
                                         const char* parameters, const char* directory, int show) {
    std::function<void(FakePlatform&)> during;
    {
        const auto guard = Guard();
        Log(Format("ShellExecute", NameOf(owner), Quote(verb), Quote(file), Quote(parameters), Quote(directory),
                   show));
        opened.emplace_back(file != nullptr ? file : "");
        during = onShellExecute;
    }
    if (during) during(*this);
    return 33;  // above 32: success
}

// ---- Menus ----------------------------------------------------------------

MenuHandle FakePlatform::CreatePopupMenu() {
    const auto guard = Guard();
    const auto menu = reinterpret_cast<MenuHandle>(nextHandle_++);
    names_[reinterpret_cast<std::uintptr_t>(menu)] = "m" + std::to_string(menus_.size() + 1);
    menus_[menu];
    liveMenus.insert(menu);
    Log(Format("CreatePopupMenu") + " -> " + NameOf(menu));
    return menu;
}

bool FakePlatform::AppendMenu(MenuHandle menu, std::uint32_t flags, std::uintptr_t idOrSubmenu, const char* text) {
    const auto guard = Guard();
    const bool popup = (flags & kMfPopup) != 0;
    const auto submenu = popup ? reinterpret_cast<MenuHandle>(idOrSubmenu) : nullptr;
    const std::string line =
        Format("AppendMenu", NameOf(menu), flags, popup ? NameOf(submenu) : std::to_string(idOrSubmenu), Quote(text));
    if (liveMenus.count(menu) == 0 || (popup && liveMenus.count(submenu) == 0)) {
        Log(line + " refused: no such menu");
        return false;
    }
    Log(line);
    menus_[menu].push_back(MenuItem{flags, popup ? 0 : idOrSubmenu, text != nullptr ? text : "", submenu});
    return true;
}

std::vector<FakePlatform::MenuLine> FakePlatform::Lines(MenuHandle menu) const {
    std::vector<MenuLine> lines;
    const auto items = menus_.find(menu);
    if (items == menus_.end()) return lines;
    for (const MenuItem& item : items->second) {
        MenuLine line{item.flags, item.id, item.text, {}};
        if (item.submenu != nullptr) line.submenu = Lines(item.submenu);
        lines.push_back(std::move(line));
    }
    return lines;
}

namespace {

bool HoldsCommand(const std::vector<FakePlatform::MenuLine>& lines, std::uintptr_t id) {
    for (const FakePlatform::MenuLine& line : lines) {
        if ((line.flags & (kMfPopup | kMfSeparator)) == 0 && line.id == id) return true;
        if (HoldsCommand(line.submenu, id)) return true;
    }
    return false;
}

}  // namespace

bool FakePlatform::TrackPopupMenu(MenuHandle menu, std::uint32_t flags, int x, int y, WindowHandle owner) {
    std::uint16_t chosen = 0;
    WindowHandle previousCapture = nullptr;
    {
        const auto guard = Guard();
        Log(Format("TrackPopupMenu", NameOf(menu), flags, x, y, NameOf(owner)));
        if (liveMenus.count(menu) == 0) return false;
        TrackedMenu shown{Lines(menu), flags, Point{x, y}, owner};
        if (menuChoice != 0 && HoldsCommand(shown.lines, menuChoice)) chosen = menuChoice;
        trackedMenus.push_back(std::move(shown));
        // The menu holds the mouse while it is shown: a window that held it
        // loses it, and nobody has it afterwards.
        previousCapture = std::exchange(capture, nullptr);
    }
    TellCaptureLost(previousCapture, nullptr);
    if (chosen != 0) PostMessage(owner, kWmCommand, chosen, 0);
    return true;
}

void FakePlatform::DestroyMenuTree(MenuHandle menu) {
    liveMenus.erase(menu);
    for (const MenuItem& item : menus_[menu]) {
        if (item.submenu != nullptr && liveMenus.count(item.submenu) > 0) DestroyMenuTree(item.submenu);
    }
}

bool FakePlatform::DestroyMenu(MenuHandle menu) {
    const auto guard = Guard();
    if (liveMenus.count(menu) == 0) {
        Log(Format("DestroyMenu", NameOf(menu)) + " refused: no such menu");
        return false;
    }
    Log(Format("DestroyMenu", NameOf(menu)));
    // As on Windows, the submenus go with it.
    DestroyMenuTree(menu);
    return true;
}

// ---- Mouse ----------------------------------------------------------------

WindowHandle FakePlatform::SetCapture(WindowHandle handle) {
    WindowHandle previous = nullptr;
    {
        const auto guard = Guard();
        Log(Format("SetCapture", NameOf(handle)));
        previous = std::exchange(capture, handle);
    }
    TellCaptureLost(previous, handle);
    return previous;
}

bool FakePlatform::ReleaseCapture() {
    WindowHandle previous = nullptr;
    {
        const auto guard = Guard();
        Log(Format("ReleaseCapture"));
        previous = std::exchange(capture, nullptr);
    }
    TellCaptureLost(previous, nullptr);
    return true;
}

void FakePlatform::TellCaptureLost(WindowHandle previous, WindowHandle next) {
    // Sent, as the platform does, to the window losing the capture, with the
    // one that gains it (none when released) in lParam.
    if (previous == nullptr || previous == next) return;
    Send(previous, kWmCaptureChanged, 0, reinterpret_cast<LongParam>(next));
}

CursorHandle FakePlatform::LoadCursor(InstanceHandle instance, int cursorId) {
    const auto guard = Guard();
    Log(Format("LoadCursor", NameOf(instance), cursorId));
    if (instance != nullptr) return nullptr;  // only the system's cursors exist here
    for (const auto& [handle, id] : cursors_) {
        if (id == cursorId) return handle;
    }
    const auto cursor = reinterpret_cast<CursorHandle>(nextHandle_++);
    names_[reinterpret_cast<std::uintptr_t>(cursor)] = "cursor" + std::to_string(cursorId);
    cursors_[cursor] = cursorId;
    return cursor;
}

CursorHandle FakePlatform::SetCursor(CursorHandle cursor) {
    const auto guard = Guard();
    Log(Format("SetCursor", NameOf(cursor)));
    CursorHandle previous = nullptr;
    for (const auto& [handle, id] : cursors_) {
        if (id == cursorShown) previous = handle;
    }
    const auto known = cursors_.find(cursor);
    cursorShown = known == cursors_.end() ? 0 : known->second;
    return previous;
}

bool FakePlatform::PostMessage(WindowHandle handle, std::uint32_t message, MessageParam wParam, LongParam lParam) {
    const auto guard = Guard();
    Log(Format("PostMessage", NameOf(handle), message, wParam, lParam));
    if (windows_.count(handle) == 0 || !windows_.at(handle).alive) return false;
    QueuedMessage posted;
    posted.window = handle;
    posted.message = message;
    posted.wParam = wParam;
    posted.lParam = lParam;
    queue.push_back(posted);
    return true;
}

std::size_t FakePlatform::DeliverPosted() {
    std::size_t delivered = 0;
    QueuedMessage message;
    while (PeekMessage(message, kPmRemove)) {
        DispatchMessage(message);
        ++delivered;
    }
    return delivered;
}

bool FakePlatform::PeekMessage(QueuedMessage& message, std::uint32_t removeFlags) {
    std::function<void(FakePlatform&)> hook;
    {
        const auto guard = Guard();
        Log(Format("PeekMessage", removeFlags));
        hook = onPeekMessage;
    }
    if (hook) hook(*this);
    const auto guard = Guard();
    if (queue.empty()) return false;
    message = queue.front();
    if ((removeFlags & kPmRemove) != 0) queue.erase(queue.begin());
    return true;
}

void FakePlatform::WaitMessage(std::uint32_t timeoutMs) {
    std::function<void(FakePlatform&)> hook;
    {
        const auto guard = Guard();
        Log(Format("WaitMessage", timeoutMs));
        hook = onWaitMessage;
    }
    if (hook) {
        hook(*this);
    } else if (threadMode == ThreadMode::Real) {
        // Real workers need real time to finish what the caller waits for.
        std::this_thread::sleep_for(std::chrono::milliseconds(std::min<std::uint32_t>(timeoutMs, 1)));
    }
}

void FakePlatform::DispatchMessage(const QueuedMessage& message) {
    bool known = false;
    {
        const auto guard = Guard();
        Log(Format("DispatchMessage", NameOf(message.window), message.message));
        known = message.window != nullptr && windows_.count(message.window) > 0;
    }
    if (known) Send(message.window, message.message, message.wParam, message.lParam);
}

void FakePlatform::Log(std::string line) {
    const auto guard = Guard();
    if (recording) CallLog::Log(std::move(line));
}

std::vector<std::string> FakePlatform::Calls() const {
    const auto guard = Guard();
    return calls;
}

}  // namespace platform::fake

// ---- Desktop ---------------------------------------------------------------

namespace platform::fake {

WindowHandle FakePlatform::GetForegroundWindow() {
    const auto guard = Guard();
    Log("GetForegroundWindow()");
    return foregroundWindow;
}

WindowHandle FakePlatform::GetDesktopWindow() {
    const auto guard = Guard();
    Log("GetDesktopWindow()");
    return desktopWindow;
}

WindowHandle FakePlatform::GetShellWindow() {
    const auto guard = Guard();
    Log("GetShellWindow()");
    return shellWindow;
}

std::uint32_t FakePlatform::GetWindowStyle(WindowHandle handle) {
    const auto guard = Guard();
    Log(Format("GetWindowStyle", NameOf(handle)));
    return window(handle).style;
}

bool FakePlatform::RegisterSessionNotification(WindowHandle handle) {
    const auto guard = Guard();
    Log(Format("WTSRegisterSessionNotification", NameOf(handle)));
    sessionWatchers.insert(handle);
    return true;
}

bool FakePlatform::UnregisterSessionNotification(WindowHandle handle) {
    const auto guard = Guard();
    Log(Format("WTSUnRegisterSessionNotification", NameOf(handle)));
    return sessionWatchers.erase(handle) == 1;
}

NotificationHandle FakePlatform::RegisterDisplayStateNotification(WindowHandle handle) {
    const auto guard = Guard();
    const auto notification = reinterpret_cast<NotificationHandle>(nextHandle_++);
    names_[reinterpret_cast<std::uintptr_t>(notification)] = "n" + std::to_string(liveNotifications.size() + 1);
    Log(Format("RegisterPowerSettingNotification", NameOf(handle)));
    liveNotifications.insert(notification);
    return notification;
}

bool FakePlatform::UnregisterPowerSettingNotification(NotificationHandle notification) {
    const auto guard = Guard();
    Log(Format("UnregisterPowerSettingNotification", NameOf(notification)));
    return liveNotifications.erase(notification) == 1;
}

NetworkWatchHandle FakePlatform::RegisterNetworkChangeNotification(WindowHandle handle, std::uint32_t message) {
    const auto guard = Guard();
    const auto watch = reinterpret_cast<NetworkWatchHandle>(nextHandle_++);
    names_[reinterpret_cast<std::uintptr_t>(watch)] = "w" + std::to_string(networkWatches.size() + 1);
    Log(Format("NotifyIpInterfaceChange", NameOf(handle), message));
    networkWatches[watch] = {handle, message};
    return watch;
}

bool FakePlatform::UnregisterNetworkChangeNotification(NetworkWatchHandle watch) {
    const auto guard = Guard();
    Log(Format("CancelMibChangeNotify2", NameOf(watch)));
    return networkWatches.erase(watch) == 1;
}

void FakePlatform::NetworkChanged() {
    std::vector<std::pair<WindowHandle, std::uint32_t>> watchers;
    {
        const auto guard = Guard();
        for (const auto& [watch, target] : networkWatches) watchers.push_back(target);
    }
    for (const auto& [window, message] : watchers) PostMessage(window, message, 0, 0);
}

}  // namespace platform::fake

namespace platform::fake {

std::uintptr_t FakePlatform::AppBarMessage(std::uint32_t message, AppBarData& data) {
    const auto guard = Guard();
    const Rect& r = data.rect;
    Log(Format("SHAppBarMessage", message, NameOf(data.window), data.callbackMessage, data.edge, r.left, r.top,
               r.right, r.bottom));
    const bool known = appBars.count(data.window) == 1;
    switch (message) {
    case kAbmNew:
        if (known) return 0;  // a window registers once
        appBars[data.window] = Rect{};
        return 1;
    case kAbmRemove:
        appBars.erase(data.window);
        return 1;
    case kAbmQueryPos:
        if (data.edge == kAbeTop) {
            data.rect.top += appBarSpaceTaken;
            data.rect.bottom += appBarSpaceTaken;
        } else if (data.edge == kAbeBottom) {
            data.rect.top -= appBarSpaceTaken;
            data.rect.bottom -= appBarSpaceTaken;
        }
        return 1;
    case kAbmSetPos:
        if (known) appBars[data.window] = data.rect;
        return 1;
    default:
        return 1;
    }
}

std::uint32_t FakePlatform::RegisterWindowMessage(const char* name) {
    const auto guard = Guard();
    Log(Format("RegisterWindowMessage", Quote(name)));
    constexpr std::uint32_t kFirstRegistered = 0xC000;
    auto [it, added] = registeredMessages.emplace(name, kFirstRegistered + registeredMessages.size());
    return it->second;
}

}  // namespace platform::fake
