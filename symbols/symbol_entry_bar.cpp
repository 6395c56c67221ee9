#include "symbols/symbol_entry_bar.h"

#include <algorithm>
#include <limits>
#include <utility>
#include <vector>

#include "app/monitors.h"
#include "platform/constants.h"
#include "platform/scoped.h"

namespace symbols {

// Searched from the top; the first matching row handles the message.
const SymbolEntryBar::Row SymbolEntryBar::kMessageTable[] = {
    {platform::kWmInitDialog, app::kNoCommand, &SymbolEntryBar::OnInitDialog},
    {platform::kWmCommand, app::Command(platform::kIdCancel), &SymbolEntryBar::OnCancel},
    {platform::kWmCommand, app::Command(platform::kIdOk), &SymbolEntryBar::OnOk},
    {platform::kWmDpiChanged, app::kNoCommand, &SymbolEntryBar::OnDpiChanged},
};

SymbolEntryBar::SymbolEntryBar(platform::Platform& platform, std::string entry, std::string prompt)
    : app::DialogObject(platform, kEntryBarTemplate), entryText(std::move(entry)), promptText(std::move(prompt)) {}

bool SymbolEntryBar::HandleMessage(const app::Message& message, platform::ProcResult& result, int table) {
    if (table != 0) return false;
    return app::DispatchMessageTable(kMessageTable, *this, message, result);
}

platform::ProcResult SymbolEntryBar::OnInitDialog(const app::Message&) {
    LayOut(true);
    // TRUE: the platform gives the focus to the first tab stop, the edit field.
    return 1;
}

platform::ProcResult SymbolEntryBar::OnDpiChanged(const app::Message&) {
    LayOut(false);
    return 0;
}

void SymbolEntryBar::LayOut(bool setTexts) {
    platform::WindowManager& windows = platform_.windows;
    // Without an owner the bar keeps its template's layout.
    const platform::WindowHandle owner = windows.GetParent(hwnd());
    if (owner == nullptr) return;
    platform::Rect ticker;
    windows.GetWindowRect(owner, ticker);
    // On the ticker's monitor, at its DPI.
    const app::MonitorSpot spot = app::MonitorOf(windows, ticker);
    const std::int32_t promptWidth = promptText.empty() ? 0 : MeasurePrompt();
    const EntryBarLayout layout = LayOutEntryBar(ticker, spot.info.work, promptWidth, spot.dpi);

    windows.MoveWindow(hwnd(), layout.bar.x, layout.bar.y, layout.bar.width, layout.bar.height, true);
    Place(kPromptControl, layout.prompt);
    if (setTexts) windows.SetWindowText(windows.GetDlgItem(hwnd(), kPromptControl), promptText.c_str());
    Place(platform::kIdCancel, layout.cancel);
    Place(platform::kIdOk, layout.ok);
    Place(kEditField, layout.edit);
    if (setTexts) windows.SetWindowText(windows.GetDlgItem(hwnd(), kEditField), entryText.c_str());
}

void SymbolEntryBar::Place(int control, const Placement& placement) {
    platform::WindowManager& windows = platform_.windows;
    windows.MoveWindow(windows.GetDlgItem(hwnd(), control), placement.x, placement.y, placement.width,
                       placement.height, true);
}

std::int32_t SymbolEntryBar::MeasurePrompt() {
    platform::Gdi& gdi = platform_.gdi;
    // A fresh context of the control, with no font selected into it.
    platform::ScopedWindowDc dc(gdi);
    dc.Take(platform_.windows.GetDlgItem(hwnd(), kPromptControl));
    platform::Size extent;
    if (gdi.GetTextExtentPoint32(dc.get(), promptText.c_str(), static_cast<int>(promptText.size()), extent) != 1) {
        return 0;
    }
    platform::TextMetrics metrics;
    if (!gdi.GetTextMetrics(dc.get(), metrics)) return 0;
    return ScaledPromptWidth(extent.cx, metrics.aveCharWidth);
}

platform::ProcResult SymbolEntryBar::OnCancel(const app::Message&) {
    // entryText keeps the text the bar was opened with.
    platform_.windows.EndDialog(hwnd(), platform::kIdCancel);
    return 0;
}

platform::ProcResult SymbolEntryBar::OnOk(const app::Message&) {
    platform::WindowManager& windows = platform_.windows;
    const platform::WindowHandle edit = windows.GetDlgItem(hwnd(), kEditField);
    if (edit != nullptr) {
        const int length = std::clamp(windows.GetWindowTextLength(edit), 0, std::numeric_limits<int>::max() - 1);
        // Room for the terminator and one byte more; the copy is at most
        // length + 1 bytes with the terminator, whatever the field holds now.
        std::vector<char> buffer(static_cast<std::size_t>(length) + 2, '\0');
        const int copied = windows.GetWindowText(edit, buffer.data(), length + 1);
        entryText.assign(buffer.data(), static_cast<std::size_t>(std::clamp(copied, 0, length)));
    }
    platform_.windows.EndDialog(hwnd(), platform::kIdOk);
    return 0;
}

}  // namespace symbols
