// The update cycle: on each expiry of UPDATE_TIMER the bar loads the
// exchange list while it has none, then starts a worker that fetches the
// server message; once the bar has taken the message, a pass worker fetches
// the quote of every item, one after another. Workers hand everything to
// the bar's thread (handover.h) and never touch the bar themselves.
#include <memory>
#include <vector>

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

// One item of a pass: where its quote comes from and its values as the
// pass began, parsed over so that a field the answer does not reach keeps
// its value.
struct PassEntry {
    std::size_t index = 0;
    std::string sourceUrl;
    quotes::QuoteFields values;
};

void WakeBar(platform::Platform& platform, const BarLink& link) {
    // After Exit the window is gone, or going: nobody would take it.
    if (link.open.load(std::memory_order_relaxed)) platform.windows.PostMessage(link.window, kWmHandover, 0, 0);
}

}  // namespace

// What a worker is given: its own share of the link and the platform, both
// of which outlive the bar.
struct TickerWindow::WorkerStart {
    std::shared_ptr<BarLink> link;
    platform::Platform platform;
};

struct TickerWindow::PassStart {
    std::shared_ptr<BarLink> link;
    platform::Platform platform;
    std::uint64_t generation = 0;
    std::vector<PassEntry> entries;
};

platform::ProcResult TickerWindow::OnUpdateTimer() {
    if (Exited()) return 0;
    platform_.windows.KillTimer(hwnd(), UPDATE_TIMER);
    if (RestWhileNobodyLooks()) return 0;
    // A list that failed is asked for again, but only once no pass runs:
    // its rebuild would wait for the whole pass with scrolling stopped.
    if (exchangeMap.empty() && !updating) LoadExchangeMap();
    if (Exited()) return 0;  // Exit came in while the rebuild pumped messages
    // A worker starts even while a pass runs; it ends after the message
    // phase when the bar finds the pass still running.
    StartUpdateWorker();
    return 0;
}

void TickerWindow::LoadExchangeMap() {
    platform::WindowManager& windows = platform_.windows;
    windows.KillTimer(hwnd(), SCROLL_TIMER);
    DrawLoadingNotice();
    // The one download on the bar's thread: the bar waits for it.
    const std::string body = quotes::HttpGetText(platform_.internet, quotes::ExchangeListAddress());
    quotes::ReadExchangeList(body, exchangeMap);
    RebuildItems();
    if (Exited()) return;
    if (updateInterval > 0) windows.SetTimer(hwnd(), UPDATE_TIMER, updateInterval);
    windows.SetTimer(hwnd(), SCROLL_TIMER, scrollInterval);
}

void TickerWindow::DrawLoadingNotice() {
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

// The message phase, on a worker.
std::uint32_t TickerWindow::UpdateWorker(void* argument) {
    const std::unique_ptr<WorkerStart> start(static_cast<WorkerStart*>(argument));
    BarLink& link = *start->link;
    // Made first, so that even a worker that runs out of memory tells the
    // bar its message phase is over and the cycle goes on.
    auto handover = std::make_unique<Handover>(Handover::Kind::MessageFailed);
    try {
        handover->message = quotes::HttpGetText(start->platform.internet, quotes::ServerMessageAddress());
        handover->kind = Handover::Kind::ServerMessage;
    } catch (...) {
        // Out of memory, most likely: nothing may escape a thread's entry.
    }
    link.inbox.Push(std::move(handover));
    WakeBar(start->platform, link);
    return 0;
}

// The quote pass, on a worker of its own.
std::uint32_t TickerWindow::PassWorker(void* argument) {
    const std::unique_ptr<PassStart> start(static_cast<PassStart*>(argument));
    BarLink& link = *start->link;
    // Made first: the bar must learn that the pass ended, however it ends,
    // or it would never run another one.
    auto ended = std::make_unique<Handover>(Handover::Kind::PassEnded);
    try {
        RunPass(*start);
    } catch (...) {
        // Out of memory, most likely: this pass ends here and the next one
        // tries again.
    }
    link.inbox.Push(std::move(ended));
    WakeBar(start->platform, link);
    return 0;
}

void TickerWindow::RunPass(PassStart& start) {
    BarLink& link = *start.link;
    for (PassEntry& entry : start.entries) {
        // After Exit nobody takes the quotes: stop asking for them.
        if (!link.open.load(std::memory_order_relaxed)) return;
        std::string body = quotes::HttpGetText(start.platform.internet, entry.sourceUrl);
        auto quote = std::make_unique<Handover>(Handover::Kind::Quote);
        quote->generation = start.generation;
        quote->index = entry.index;
        quote->values = std::move(entry.values);
        quotes::ApplyQuoteLine(entry.sourceUrl, std::move(body), quote->values);
        // No wake-up: the next scroll step takes it, with the others that
        // arrive within the step.
        link.inbox.Push(std::move(quote));
    }
}

platform::ProcResult TickerWindow::OnHandover(const app::Message&) {
    // While nobody looks, what came waits for the first step after.
    if (desktopWatch_.NobodyLooks()) return 0;
    TakeHandovers();
    return 0;
}

void TickerWindow::TakeHandovers() {
    if (Exited()) return;
    HandoverChain chain = link_->inbox.TakeAll();
    bool updated = false;
    while (std::unique_ptr<Handover> handover = chain.Pop()) {
        if (handover->kind == Handover::Kind::Quote) {
            updated = ApplyQuote(*handover) || updated;
            continue;
        }
        // The quotes before it reach the bar first.
        if (updated) RelayoutUpdated();
        updated = false;
        switch (handover->kind) {
        case Handover::Kind::ServerMessage:
            TakeServerMessage(&handover->message);
            break;
        case Handover::Kind::MessageFailed:
            TakeServerMessage(nullptr);
            break;
        default:
            FinishPass();
            break;
        }
    }
    if (updated) RelayoutUpdated();
}

bool TickerWindow::ApplyQuote(Handover& quote) {
    // Asked for an older list: that item is gone.
    if (quote.generation != itemsGeneration_ || quote.index >= itemList.size()) return false;
    quotes::QuoteItem* item = itemList[quote.index].get();
    if (item == nullptr) return false;
    item->EndParse(std::move(quote.values));
    return true;
}

void TickerWindow::TakeServerMessage(std::string* message) {
    if (message != nullptr) NoteServerAnswer(*message);
    if (message != nullptr && *message != serverMessage) {
        serverMessage = std::move(*message);  // the handover is done with it
        messageRebuildPending_ = true;
        // The rebuild's start: no cycle may begin until the items are new.
        platform_.windows.KillTimer(hwnd(), UPDATE_TIMER);
    }
    if (updating) {
        // A changed message waits for the pass to end; with an unchanged
        // one this worker ends, as a second pass may not run beside the
        // first.
        if (messageRebuildPending_) ++parkedWorkers_;
        return;
    }
    if (rebuildWaiting_) {
        // The pass has just ended under a rebuild that waited for it: the
        // rebuild goes first, and this worker's pass runs on its items.
        ++parkedWorkers_;
        return;
    }
    ResumeWorker();
}

void TickerWindow::ResumeWorker() {
    if (messageRebuildPending_) RebuildItemsNow();
    if (!updating) StartPass();
}

void TickerWindow::ResumeParkedWorkers() {
    // The first runs a pass; the others find it running and end.
    while (parkedWorkers_ > 0 && !Exited()) {
        --parkedWorkers_;
        ResumeWorker();
    }
}

void TickerWindow::StartPass() {
    auto start = std::make_unique<PassStart>(PassStart{link_, platform_, itemsGeneration_, {}});
    start->entries.reserve(itemList.size());
    for (std::size_t index = 0; index < itemList.size(); ++index) {
        const quotes::QuoteItem* item = itemList[index].get();
        if (item == nullptr) continue;
        start->entries.push_back(PassEntry{index, item->sourceUrl, *item});
    }
    updating = true;
    if (platform_.threads.StartThread(platform::kThreadPriorityLowest, &TickerWindow::PassWorker, start.get())) {
        start.release();  // the worker owns it now
        return;
    }
    // No thread to be had: the pass ends before it began, and the next
    // cycle tries again.
    FinishPass();
}

void TickerWindow::FinishPass() {
    platform::WindowManager& windows = platform_.windows;
    windows.InvalidateRect(hwnd(), nullptr, true);
    if (updateInterval > 0) windows.SetTimer(hwnd(), UPDATE_TIMER, updateInterval);
    updating = false;
    if (!rebuildWaiting_) ResumeParkedWorkers();
}

}  // namespace ticker
