// The update cycle: on each expiry of UPDATE_TIMER the bar loads the
// exchange list while it has none, then starts a worker that fetches the
// server message and the quote of every item, one after another.
#include <memory>

#include "platform/constants.h"
#include "quotes/endpoints.h"
#include "quotes/exchange_list.h"
#include "quotes/http_get_text.h"
#include "quotes/quote_line.h"
#include "ticker/ids.h"
#include "ticker/ticker_window.h"

namespace ticker {

namespace {

constexpr const char* kNoticeText = "Gathering exchange data from ";
constexpr const char* kNoticeEnd = "...";
constexpr platform::ColorRef kNoticeColor = 0x006600;
constexpr int kNoticeX = 20;
constexpr int kNoticeY = 0;
// How often a worker's rebuild looks again whether a pass still runs.
constexpr std::uint32_t kWorkerWaitMs = 10;

}  // namespace

// What a worker is given: its own share of the link and the platform, both
// of which outlive the bar.
struct TickerWindow::WorkerStart {
    std::shared_ptr<BarLink> link;
    platform::Platform platform;
};

platform::ProcResult TickerWindow::OnUpdateTimer() {
    if (Exited()) return 0;
    platform_.windows.KillTimer(hwnd(), UPDATE_TIMER);
    if (exchangeMap.empty()) LoadExchangeMap();
    if (Exited()) return 0;  // Exit came in while the rebuild pumped messages
    // A worker starts even while another runs; it ends after the message
    // phase when it finds a pass running.
    StartUpdateWorker();
    return 0;
}

platform::ProcResult TickerWindow::OnUpdateTimerRequest(const app::Message& message) {
    if (Exited()) return 0;
    switch (message.wParam) {
    case kArmUpdateTimer:
        platform_.windows.SetTimer(hwnd(), UPDATE_TIMER, static_cast<std::uint32_t>(message.lParam));
        break;
    case kArmNextCycle:
        RequestNextCycle();
        break;
    default:
        platform_.windows.KillTimer(hwnd(), UPDATE_TIMER);
        break;
    }
    return 0;
}

void TickerWindow::RequestNextCycle() {
    if (platform_.threads.GetCurrentThreadId() != barThread_) {
        platform_.windows.PostMessage(hwnd(), kWmUpdateTimerRequest, kArmNextCycle, 0);
        return;
    }
    std::uint32_t interval = 0;
    {
        const BarAccess bar(*link_);
        interval = updateInterval;
    }
    if (interval > 0) platform_.windows.SetTimer(hwnd(), UPDATE_TIMER, interval);
}

void TickerWindow::RequestUpdateTimer(std::uint32_t period) {
    platform::WindowManager& windows = platform_.windows;
    if (platform_.threads.GetCurrentThreadId() == barThread_) {
        if (period > 0) {
            windows.SetTimer(hwnd(), UPDATE_TIMER, period);
        } else {
            windows.KillTimer(hwnd(), UPDATE_TIMER);
        }
        return;
    }
    windows.PostMessage(hwnd(), kWmUpdateTimerRequest, period > 0 ? kArmUpdateTimer : kKillUpdateTimer,
                        static_cast<platform::LongParam>(period));
}

void TickerWindow::LoadExchangeMap() {
    platform::WindowManager& windows = platform_.windows;
    windows.KillTimer(hwnd(), SCROLL_TIMER);
    DrawLoadingNotice();
    // The one download on the bar's thread: the bar waits for it.
    const std::string body = quotes::HttpGetText(platform_.internet, quotes::ExchangeListAddress());
    {
        const BarAccess bar(*link_);
        quotes::ReadExchangeList(body, exchangeMap);
    }
    RebuildItems();
    if (Exited()) return;
    if (updateInterval > 0) windows.SetTimer(hwnd(), UPDATE_TIMER, updateInterval);
    windows.SetTimer(hwnd(), SCROLL_TIMER, scrollInterval);
}

void TickerWindow::DrawLoadingNotice() {
    const BarAccess bar(*link_);
    if (!bar) return;
    platform::Gdi& gdi = platform_.gdi;
    const std::string notice = kNoticeText + quotes::HomeSiteHost() + kNoticeEnd;
    // The colour stays set; the next drawing of an item sets its own.
    gdi.SetTextColor(windowDC.get(), kNoticeColor);
    gdi.TextOut(windowDC.get(), kNoticeX, kNoticeY, notice.c_str(), static_cast<int>(notice.size()));
    // The bar's thread blocks in the download next: show the notice now.
    gdi.Flush();
}

void TickerWindow::StartUpdateWorker() {
    auto start = std::make_unique<WorkerStart>(WorkerStart{link_, platform_});
    if (platform_.threads.StartThread(platform::kThreadPriorityLowest, &TickerWindow::UpdateWorker, start.get())) {
        start.release();  // the worker owns it now
    }
}

std::uint32_t TickerWindow::UpdateWorker(void* argument) {
    const std::unique_ptr<WorkerStart> start(static_cast<WorkerStart*>(argument));
    bool passStarted = false;
    try {
        RunUpdateWorker(*start, passStarted);
    } catch (...) {
        // Out of memory, most likely: this cycle ends here and the next one
        // tries again. Nothing may escape a thread's entry.
    }
    if (passStarted) FinishPass(*start->link);
    return 0;
}

void TickerWindow::RunUpdateWorker(WorkerStart& start, bool& passStarted) {
    BarLink& link = *start.link;
    platform::Internet& internet = start.platform.internet;

    // The message phase.
    std::string message = quotes::HttpGetText(internet, quotes::ServerMessageAddress());
    bool changed = false;
    {
        const BarAccess bar(link);
        if (!bar) return;
        changed = message != bar->serverMessage;
        if (changed) bar->serverMessage = std::move(message);
    }
    if (changed && !RebuildItemsFromWorker(start)) return;

    {
        const BarAccess bar(link);
        if (!bar || bar->updating) return;  // another worker's pass runs
        bar->updating = true;
        passStarted = true;
    }

    // The quote pass. No rebuild runs while `updating` is set, so the items
    // stay where they are between the locked steps; only Exit takes them.
    for (std::size_t index = 0;; ++index) {
        quotes::QuoteItem* item = nullptr;
        std::string sourceUrl;
        {
            const BarAccess bar(link);
            if (!bar) return;
            if (index >= bar->itemList.size()) break;
            item = bar->itemList[index].get();
            if (item == nullptr) continue;
            sourceUrl = item->sourceUrl;
        }
        std::string body = quotes::HttpGetText(internet, sourceUrl);
        quotes::QuoteFields values;
        {
            const BarAccess bar(link);
            if (!bar) return;
            values = item->BeginParse();
        }
        quotes::ApplyQuoteLine(sourceUrl, std::move(body), values);
        {
            const BarAccess bar(link);
            if (!bar) return;
            item->EndParse(std::move(values));
            bar->Relayout();
        }
    }
}

void TickerWindow::FinishPass(BarLink& link) {
    const BarAccess bar(link);
    if (!bar) return;
    bar->platform_.windows.InvalidateRect(bar->hwnd(), nullptr, true);
    if (bar->updateInterval > 0) bar->RequestNextCycle();
    bar->updating = false;
}

bool TickerWindow::RebuildItemsFromWorker(WorkerStart& start) {
    BarLink& link = *start.link;
    {
        const BarAccess bar(link);
        if (!bar) return false;
        bar->RequestUpdateTimer(0);
    }
    // A worker has no messages to pump: it looks again now and then until
    // the running pass has ended.
    for (;;) {
        {
            const BarAccess bar(link);
            if (!bar) return false;
            if (!bar->updating) {
                bar->RebuildItemsLocked();
                return true;
            }
        }
        start.platform.threads.Sleep(kWorkerWaitMs);
    }
}

}  // namespace ticker
