// The bar's item list: built from the server message and the user's symbol
// list, replaced whole whenever either changes.
#include "ticker/ids.h"
#include "ticker/ticker_window.h"

namespace ticker {

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
    // No cycle may begin until the items are new.
    platform_.windows.KillTimer(hwnd(), UPDATE_TIMER);
    RebuildItemsNow();
}

void TickerWindow::RebuildItemsNow() {
    // A running pass is cancelled rather than waited for: it asked for the
    // old items, stops before its next download once it sees the new
    // generation, and its quotes and its end are dropped. The cycle armed
    // below brings the new items their own pass.
    ++itemsGeneration_;
    link_->generation.store(itemsGeneration_, std::memory_order_relaxed);
    updating = false;
    nextCycleAsked_ = false;
    DeleteItems();
    // A fresh pair of fonts for the new list; the old pair went with the
    // last item that drew with it.
    itemFonts_.reset();
    try {
        AddItemsFromList(serverMessage, kMaxServerMessageEntries);
        symbols = AddItemsFromList(symbols);
    } catch (...) {
        // Out of memory: the list stays as far as it got, and the cycle
        // below still comes.
    }
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
