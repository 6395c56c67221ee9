// "Add/Remove Symbols...": the symbol list edited in the entry bar over or
// under the ticker; a changed list rebuilds the items and the scroll starts
// afresh from the right.
#include "symbols/symbol_entry_bar.h"
#include "ticker/ticker_window.h"

namespace ticker {

platform::ProcResult TickerWindow::OnAddRemoveSymbols(const app::Message&) {
    symbols::SymbolEntryBar entryBar(platform_, symbols, symbols::kSymbolsPrompt);
    // Normally the ticker itself, which the right click activated; the
    // ticker is disabled while the bar runs, and keeps scrolling. With no
    // window active (the command came while another program had the focus)
    // the ticker owns it all the same: an unowned bar would open in a corner
    // with an empty field, and its OK would empty the list.
    const platform::WindowHandle active = platform_.windows.GetActiveWindow();
    entryBar.RunModal(active != nullptr ? active : hwnd(), 0);
    if (Exited()) return 0;  // Exit came in through the bar's modal loop

    if (entryBar.entryText != symbols) {
        symbols = entryBar.entryText;
        RebuildItems();  // also stores the list in its normal form
        logoX = kOffBarStart;  // the logo and the new items come in from the right
    }
    // Also when nothing changed: this stores the ticker's place and width.
    SaveSettings();
    return 0;
}

}  // namespace ticker
