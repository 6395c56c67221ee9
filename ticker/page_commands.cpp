// The menu commands that open a page of the home site in the browser.
// Nothing changes and nothing is saved.
#include "quotes/browser.h"
#include "quotes/endpoints.h"
#include "ticker/ticker_window.h"

namespace ticker {

platform::ProcResult TickerWindow::OnVisitHomeSite(const app::Message&) {
    quotes::OpenInBrowser(platform_.shell, quotes::HomeSite());
    return 0;
}

platform::ProcResult TickerWindow::OnHelp(const app::Message&) {
    quotes::OpenInBrowser(platform_.shell, quotes::HelpPageAddress());
    return 0;
}

// Both "Send Velmoria v5.6 to a Friend..." and "Powered by Velmoria...".
platform::ProcResult TickerWindow::OnSendToFriend(const app::Message&) {
    quotes::OpenInBrowser(platform_.shell, quotes::HomeSite());
    return 0;
}

}  // namespace ticker
