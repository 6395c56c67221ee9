// The right button: the menu of options, built afresh at every press so its
// check marks show the settings of the moment.
#include "platform/constants.h"
#include "platform/menu.h"
#include "quotes/endpoints.h"
#include "ticker/context_menu.h"
#include "ticker/ticker_window.h"

namespace ticker {

platform::ProcResult TickerWindow::OnRightButtonDown(const app::Message& message) {
    platform::WindowManager& windows = platform_.windows;
    const MenuSettings settings{speed, updateInterval, dataMask, alwaysOnTop, snapping, reserveScreenSpace};
    // Destroyed when the handler returns, chosen or not; the submenus go
    // with the menu that holds them.
    const platform::ScopedMenu menu =
        platform::CreateNativeMenu(windows, BuildContextMenu(settings, quotes::HomeSiteHost(), quotes::BrandingId()));
    // Read unsigned, as the menu is placed from the client point.
    platform::Point point{platform::LowWord(static_cast<std::uintptr_t>(message.lParam)),
                          platform::HighWord(static_cast<std::uintptr_t>(message.lParam))};
    windows.ClientToScreen(hwnd(), point);
    // A chosen item arrives afterwards as WM_COMMAND.
    windows.TrackPopupMenu(menu.get(), platform::kTpmRightButton, point.x, point.y, hwnd());
    return 0;
}

}  // namespace ticker
