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
    for (const std::string& entry : entries) {
        itemList.push_back(std::make_unique<quotes::QuoteItem>(platform_, entry, windowDC.get(), QuoteSourceFor(entry)));
    }
    return quotes::JoinEntries(entries);
}

void TickerWindow::RebuildItems() {
    platform::WindowManager& windows = platform_.windows;
    RequestUpdateTimer(0);
    // Never delete the items under a running quote pass; the bar keeps
    // scrolling and answering meanwhile. The wait ends in the same locked
    // step that finds no pass running, so none can start in between.
    for (;;) {
        {
            const BarAccess bar(*link_);
            if (!bar) return;  // Exit came in with the pumped messages
            if (!updating) {
                RebuildItemsLocked();
                return;
            }
        }
        platform::QueuedMessage message;
        while (windows.PeekMessage(message, platform::kPmRemove)) windows.DispatchMessage(message);
        if (Exited()) return;
        windows.WaitMessage(kRebuildWaitMs);
    }
}

void TickerWindow::RebuildItemsLocked() {
    DeleteItems();
    AddItemsFromList(serverMessage, kMaxServerMessageEntries);
    symbols = AddItemsFromList(symbols);
    platform_.windows.InvalidateRect(hwnd(), nullptr, true);
    RequestUpdateTimer(updateDelay);
}

}  // namespace ticker
