#include "ticker/ticker_window.h"

#include "platform/constants.h"
#include "quotes/endpoints.h"
#include "ticker/ids.h"

namespace ticker {

using app::Command;
using app::Commands;
using app::kNoCommand;
using platform::kWmCommand;

// Searched from the top; the first matching row handles the message.
const TickerWindow::Row TickerWindow::kMessageTable[] = {
    {platform::kWmInitDialog, kNoCommand, &TickerWindow::OnInitDialog},
    {platform::kWmRButtonDown, kNoCommand, &TickerWindow::OnRightButtonDown},
    {platform::kWmLButtonDown, kNoCommand, &TickerWindow::OnMouse},
    {platform::kWmMouseMove, kNoCommand, &TickerWindow::OnMouse},
    {platform::kWmLButtonUp, kNoCommand, &TickerWindow::OnMouse},
    {platform::kWmCaptureChanged, kNoCommand, &TickerWindow::OnMouse},
    {platform::kWmTimer, kNoCommand, &TickerWindow::OnTimer},
    {platform::kWmNcHitTest, kNoCommand, &TickerWindow::OnHitTest},
    {kWmCommand, Command(command::kExit), &TickerWindow::ExitTicker},
    {kWmCommand, Command(command::kAddRemoveSymbols), &TickerWindow::OnAddRemoveSymbols},
    {kWmCommand, Commands(command::kSpeedStop, command::kSpeedFast), &TickerWindow::OnScrollSpeed},
    {kWmCommand, Command(command::kVisitHomeSite), &TickerWindow::OnVisitHomeSite},
    {kWmCommand, Command(command::kHelp), &TickerWindow::OnHelp},
    {kWmCommand, Command(command::kSendToFriend), &TickerWindow::OnSendToFriend},
    {kWmCommand, Command(command::kAlwaysOnTop), &TickerWindow::OnAlwaysOnTop},
    {kWmCommand, Command(command::kSnapping), &TickerWindow::OnSnapping},
    {kWmCommand, Commands(command::kUpdateOff, command::kUpdateNow), &TickerWindow::OnUpdateFrequency},
    {kWmCommand, Commands(command::kCurrentPrice, command::kResetDefault), &TickerWindow::OnDataField},
    {kWmCommand, Command(command::kOpeningPrice), &TickerWindow::OnDataField},
    {kWmHandover, kNoCommand, &TickerWindow::OnHandover},
    {platform::kWmDpiChanged, kNoCommand, &TickerWindow::OnDpiChanged},
    {platform::kWmDisplayChange, kNoCommand, &TickerWindow::OnDisplayChange},
    {platform::kWmWtsSessionChange, kNoCommand, &TickerWindow::OnSessionChange},
    {platform::kWmPowerBroadcast, kNoCommand, &TickerWindow::OnPowerBroadcast},
    {kWmCommand, Command(command::kReserveScreenSpace), &TickerWindow::OnReserveScreenSpace},
    {kWmAppBarNotice, kNoCommand, &TickerWindow::OnAppBarNotice},
    {kWmNetworkChange, kNoCommand, &TickerWindow::OnNetworkChange},
};

std::string DefaultSymbolList() { return "MSFT, Help<" + quotes::HomeSiteHost() + quotes::kHelpPagePath + ">"; }

TickerWindow::TickerWindow(platform::Platform& platform, platform::InstanceHandle instance)
    : app::DialogObject(platform, kTickerTemplate),
      hInstance(instance),
      symbols(DefaultSymbolList()),
      windowDC(platform.gdi),
      logoBitmap(platform.gdi),
      memoryDC(platform.gdi),
      backgroundBrush(platform.gdi),
      link_(std::make_shared<BarLink>()),
      desktopNotices_(platform.desktop) {}

TickerWindow::~TickerWindow() {
    // Workers still running find the bar gone from here on.
    link_->open.store(false, std::memory_order_relaxed);
    DeleteItems();
    backgroundBrush.reset();
}

void TickerWindow::DeleteItems() {
    // From the head, one by one, as the scroll order has them.
    for (auto& item : itemList) item.reset();
    itemList.clear();
}

bool TickerWindow::HandleMessage(const app::Message& message, platform::ProcResult& result, int table) {
    // After Exit the drawing resources are gone and the settings saved:
    // what was queued behind it gets only the default processing.
    if (table != 0 || Exited()) return false;
    // The shell's start has no fixed number: it is not in the table.
    if (OnShellRestarted(message)) {
        result = 0;
        return true;
    }
    return app::DispatchMessageTable(kMessageTable, *this, message, result);
}

platform::ProcResult TickerWindow::OnTimer(const app::Message& message) {
    switch (message.wParam) {
    case SCROLL_TIMER:
        return ScrollStep();
    case UPDATE_TIMER:
        return OnUpdateTimer();
    case FULL_SCREEN_TIMER:
        return OnFullScreenTimer();
    case WAKE_TIMER:
        return OnWakeTimer();
    default:
        return 0;  // any other timer is consumed and ignored
    }
}

platform::ProcResult TickerWindow::OnHitTest(const app::Message& message) {
    return FoldHitCode(platform_.windows.DefWindowProc(message.window, message.id, message.wParam, message.lParam));
}

platform::ProcResult FoldHitCode(platform::ProcResult code) {
    switch (code) {
    case platform::kHtLeft:
    case platform::kHtTopLeft:
    case platform::kHtBottomLeft:
        return platform::kHtLeft;
    case platform::kHtRight:
    case platform::kHtTopRight:
    case platform::kHtBottomRight:
        return platform::kHtRight;
    case platform::kHtTop:
    case platform::kHtBottom:
        return platform::kHtNowhere;
    default:
        return code;
    }
}

}  // namespace ticker
