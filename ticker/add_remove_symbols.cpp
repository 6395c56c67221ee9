// "Add/Remove Symbols...": the symbol list edited in the entry bar over or
// under the ticker; a changed list rebuilds the items and the scroll starts
// afresh from the right.
#include "symbols/symbol_entry_bar.h"
#include "ticker/ticker_window.h"

namespace ticker {

platform::ProcResult TickerWindow::OnAddRemoveSymbols(const app::Message&) {
    std::string shown;
    {
        const BarAccess bar(*link_);
        shown = symbols;
    }
    symbols::SymbolEntryBar entryBar(platform_, shown, symbols::kSymbolsPrompt);
    // Normally the ticker itself, which the right click activated; the
    // ticker is disabled while the bar runs, and keeps scrolling.
    entryBar.RunModal(platform_.windows.GetActiveWindow(), 0);
    if (Exited()) return 0;  // Exit came in through the bar's modal loop

    bool changed = false;
    {
        const BarAccess bar(*link_);
        if (!bar) return 0;
        changed = entryBar.entryText != symbols;
        if (changed) symbols = entryBar.entryText;
    }
    if (changed) {
        RebuildItems();  // also stores the list in its normal form
        if (Exited()) return 0;
        const BarAccess bar(*link_);
        logoX = kOffBarStart;  // the logo and the new items come in from the right
    }
    // Also when nothing changed: this stores the ticker's place and width.
    SaveSettings();
    return 0;
}

}  // namespace ticker
