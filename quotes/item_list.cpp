// The bar's item list: built from the server message and the user's symbol
// list, replaced whole whenever either changes.
#include "platform/constants.h"
#include "ticker/ids.h"
#include "ticker/ticker_window.h"

namespace ticker {

namespace {
// How long a rebuild waits for new messages while an update pass runs.
constexpr std::uint32_t kRebuildWaitMs = 10;
}  // namespace

std::string TickerWindow::QuoteSourceFor(const std::string& symbol) const {
    return quotes::QuoteSourceFor(exchangeMap, symbol);
}

std::string TickerWindow::AddItemsFromList(const std::string& text) {
    const std::vector<std::string> entries = quotes::SplitEntries(text);
    for (const std::string& entry : entries) {
        itemList.push_back(std::make_unique<quotes::QuoteItem>(platform_, entry, windowDC.get(), QuoteSourceFor(entry)));
    }
    return quotes::JoinEntries(entries);
}

void TickerWindow::RebuildItems() {
    platform::WindowManager& windows = platform_.windows;
    windows.KillTimer(hwnd(), UPDATE_TIMER);
    // Never delete the items under a running quote pass; the bar keeps
    // scrolling and answering meanwhile.
    while (updating) {
        platform::QueuedMessage message;
        while (windows.PeekMessage(message, platform::kPmRemove)) windows.DispatchMessage(message);
        if (updating) windows.WaitMessage(kRebuildWaitMs);
    }
    DeleteItems();
    AddItemsFromList(serverMessage);
    symbols = AddItemsFromList(symbols);
    windows.InvalidateRect(hwnd(), nullptr, true);
    windows.SetTimer(hwnd(), UPDATE_TIMER, updateDelay);
}

}  // namespace ticker
