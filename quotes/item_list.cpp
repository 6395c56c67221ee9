// The bar's item list: built from the server message and the user's symbol
// list, replaced whole whenever either changes.
#include "platform/constants.h"
#include "ticker/ids.h"
#include "ticker/ticker_window.h"

namespace ticker {

namespace {
// How long a rebuild on the bar's thread waits for new messages while a
// quote pass runs; a message ends the wait at once.
constexpr std::uint32_t kRebuildWaitMs = 10;
}  // namespace

std::string TickerWindow::QuoteSourceFor(const std::string& symbol) const {
    return quotes::QuoteSourceFor(exchangeMap, symbol);
}

std::string TickerWindow::AddItemsFromList(const std::string& text, std::size_t limit) {
    std::vector<std::string> entries = quotes::SplitEntries(text);
    if (entries.size() > limit) entries.resize(limit);
    if (!itemFonts_) itemFonts_ = std::make_shared<const quotes::ItemFonts>(platform_.gdi, windowDC.get(), dpi);
    for (const std::string& entry : entries) {
        itemList.push_back(
            std::make_unique<quotes::QuoteItem>(platform_, entry, windowDC.get(), QuoteSourceFor(entry), itemFonts_));
    }
    return quotes::JoinEntries(entries);
}

void TickerWindow::RebuildItems() {
    platform::WindowManager& windows = platform_.windows;
    windows.KillTimer(hwnd(), UPDATE_TIMER);
    // Never replace the items under a running quote pass; the bar keeps
    // scrolling and answering meanwhile, and takes the pass's end with the
    // pumped messages. Workers whose message comes meanwhile wait for this
    // rebuild, so it is not put off by a pass that starts after this one.
    rebuildWaiting_ = true;
    while (updating) {
        platform::QueuedMessage message;
        while (windows.PeekMessage(message, platform::kPmRemove)) windows.DispatchMessage(message);
        if (Exited()) return;  // Exit came in with the pumped messages
        if (!updating) break;
        windows.WaitMessage(kRebuildWaitMs);
    }
    rebuildWaiting_ = false;
    if (Exited()) return;
    RebuildItemsNow();
    ResumeParkedWorkers();
}

void TickerWindow::RebuildItemsNow() {
    DeleteItems();
    // A fresh pair of fonts for the new list; the old pair went with the
    // last item that drew with it.
    itemFonts_.reset();
    AddItemsFromList(serverMessage, kMaxServerMessageEntries);
    symbols = AddItemsFromList(symbols);
    ++itemsGeneration_;
    messageRebuildPending_ = false;
    // The logo keeps its place, but not far beyond the right edge, where a
    // long ring may have left it: the new items come in behind it, and the
    // bar would stay blank until it came round.
    platform::Rect client;
    platform_.windows.GetClientRect(hwnd(), client);
    if (logoX > client.right) logoX = client.right;
    platform_.windows.InvalidateRect(hwnd(), nullptr, true);
    platform_.windows.SetTimer(hwnd(), UPDATE_TIMER, updateDelay);
}

}  // namespace ticker
