// The update cycle: on each expiry of UPDATE_TIMER the bar has a worker
// load the exchange list while it has none (the notice shows and scrolling
// stops until it is in), then starts a worker that fetches the server
// message; once the bar has taken the message, a pass worker fetches the
// quote of every item, one after another. Workers hand everything to the
// bar's thread (handover.h) and never touch the bar themselves; the bar's
// thread never waits for them or for the network.
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
// of which outlive the bar, and the handover that ends its phase, made by
// the bar so that a worker out of memory still tells the bar it is done.
struct TickerWindow::WorkerStart {
    std::shared_ptr<BarLink> link;
    platform::Platform platform;
    std::unique_ptr<Handover> done;
};

struct TickerWindow::PassStart {
    std::shared_ptr<BarLink> link;
    platform::Platform platform;
    std::uint64_t generation = 0;
    std::vector<PassEntry> entries;
    std::unique_ptr<Handover> ended;
};

platform::ProcResult TickerWindow::OnUpdateTimer() {
    if (Exited()) return 0;
    platform_.windows.KillTimer(hwnd(), UPDATE_TIMER);
    if (RestWhileNobodyLooks()) return 0;
    // The list's arrival starts this cycle's worker.
    if (loadingExchanges_) return 0;
    // A list that failed is asked for again once no pass runs (its rebuild
    // would cancel the pass); with updates Off only when the user asked
    // for an update, so that the bar downloads nothing by itself.
    if (exchangeMap.empty() && !updating && (updateInterval > 0 || exchangeListAsked_)) {
        exchangeListAsked_ = false;
        LoadExchangeMap();
        return 0;
    }
    // A worker starts even while a pass runs; it ends after the message
    // phase when the bar finds the pass still running.
    StartUpdateWorker();
    return 0;
}

void TickerWindow::LoadExchangeMap() {
    platform_.windows.KillTimer(hwnd(), SCROLL_TIMER);
    DrawLoadingNotice();
    auto start = std::make_unique<WorkerStart>(
        WorkerStart{link_, platform_, std::make_unique<Handover>(Handover::Kind::ExchangeList)});
    if (platform_.threads.StartThread(platform::kThreadPriorityLowest, &TickerWindow::ExchangeListWorker,
                                      start.get())) {
        start.release();  // the worker owns it now
        loadingExchanges_ = true;
        return;
    }
    // No thread to be had: as a list that failed.
    TakeExchangeList(std::string());
}

void TickerWindow::DrawLoadingNotice() {
    platform::Gdi& gdi = platform_.gdi;
    const std::string notice = kNoticeText + quotes::HomeSiteHost() + kNoticeEnd;
    // The colour stays set; the next drawing of an item sets its own.
    gdi.SetTextColor(windowDC.get(), kNoticeColor);
    gdi.TextOut(windowDC.get(), Scaled(kNoticeX), Scaled(kNoticeY), notice.c_str(), static_cast<int>(notice.size()));
    // Nothing scrolls over it until the list is in: show it now.
    gdi.Flush();
}

void TickerWindow::TakeExchangeList(std::string body) {
    loadingExchanges_ = false;
    quotes::ReadExchangeList(body, exchangeMap);
    RebuildItems();
    platform::WindowManager& windows = platform_.windows;
    if (updateInterval > 0) windows.SetTimer(hwnd(), UPDATE_TIMER, updateInterval);
    windows.SetTimer(hwnd(), SCROLL_TIMER, scrollInterval);
    StartUpdateWorker();
}

void TickerWindow::StartUpdateWorker() {
    auto start = std::make_unique<WorkerStart>(
        WorkerStart{link_, platform_, std::make_unique<Handover>(Handover::Kind::MessageFailed)});
    if (platform_.threads.StartThread(platform::kThreadPriorityLowest, &TickerWindow::UpdateWorker, start.get())) {
        start.release();  // the worker owns it now
    }
}

// The exchange list, on a worker: the bar answers its menu meanwhile.
std::uint32_t TickerWindow::ExchangeListWorker(void* argument) {
    const std::unique_ptr<WorkerStart> start(static_cast<WorkerStart*>(argument));
    // Never fails: a download that cannot be made yields the error text.
    start->done->message = quotes::HttpGetText(start->platform.internet, quotes::ExchangeListAddress());
    HandOver(*start);
    return 0;
}

// The message phase, on a worker.
std::uint32_t TickerWindow::UpdateWorker(void* argument) {
    const std::unique_ptr<WorkerStart> start(static_cast<WorkerStart*>(argument));
    // Never fails: a download that cannot be made yields the error text.
    start->done->message = quotes::HttpGetText(start->platform.internet, quotes::ServerMessageAddress());
    start->done->kind = Handover::Kind::ServerMessage;
    HandOver(*start);
    return 0;
}

void TickerWindow::HandOver(WorkerStart& start) {
    start.link->inbox.Push(std::move(start.done));
    WakeBar(start.platform, *start.link);
}

// The quote pass, on a worker of its own.
std::uint32_t TickerWindow::PassWorker(void* argument) {
    const std::unique_ptr<PassStart> start(static_cast<PassStart*>(argument));
    BarLink& link = *start->link;
    try {
        RunPass(*start);
    } catch (...) {
        // Out of memory, most likely: this pass ends here and the next one
        // tries again.
    }
    // Made by the bar: the bar learns that the pass ended, however it ends.
    link.inbox.Push(std::move(start->ended));
    WakeBar(start->platform, link);
    return 0;
}

void TickerWindow::RunPass(PassStart& start) {
    BarLink& link = *start.link;
    for (PassEntry& entry : start.entries) {
        // After Exit nobody takes the quotes, and after a rebuild nobody
        // wants them: stop asking for them.
        if (!link.open.load(std::memory_order_relaxed)) return;
        if (link.generation.load(std::memory_order_relaxed) != start.generation) return;
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
        if (updated) RelayoutQuietly();
        updated = false;
        try {
            TakeHandover(*handover);
        } catch (...) {
            // Out of memory: this piece is lost, but not the ones after it,
            // nor the end of a pass among them.
        }
    }
    if (updated) RelayoutQuietly();
}

void TickerWindow::TakeHandover(Handover& handover) {
    switch (handover.kind) {
    case Handover::Kind::ServerMessage:
        TakeServerMessage(&handover.message);
        break;
    case Handover::Kind::MessageFailed:
        TakeServerMessage(nullptr);
        break;
    case Handover::Kind::ExchangeList:
        TakeExchangeList(std::move(handover.message));
        break;
    default:
        // A cancelled pass's end: the rebuild that cancelled it already
        // asked for a cycle on the new items.
        if (handover.generation == itemsGeneration_ && updating) FinishPass();
        break;
    }
}

void TickerWindow::RelayoutQuietly() noexcept {
    try {
        RelayoutUpdated();
    } catch (...) {
        // Out of memory: the items show their old texts until the next one.
    }
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
        // Cancels a running pass: its quotes are for items that go now.
        RebuildItems();
    }
    // With a pass running this worker ends, as a second pass may not run
    // beside the first.
    if (!updating) StartPass();
}

void TickerWindow::StartPass() {
    auto start = std::make_unique<PassStart>(PassStart{link_, platform_, itemsGeneration_, {},
                                                       std::make_unique<Handover>(Handover::Kind::PassEnded)});
    start->ended->generation = itemsGeneration_;
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
    // "Update Now" during the pass: its cycle follows at once.
    if (nextCycleAsked_) {
        nextCycleAsked_ = false;
        StartUpdateWorker();
    }
}

}  // namespace ticker
