// The bar's side of the persisted settings: its fields in and out of the
// stored record, and the greeting of a first-time user.
#include "app/settings.h"
#include "platform/constants.h"
#include "ticker/ticker_window.h"

namespace ticker {

app::TickerSettings TickerWindow::SettingsFields() const {
    app::TickerSettings settings;
    settings.alwaysOnTop = alwaysOnTop;
    settings.snapping = snapping;
    settings.dataMask = dataMask;
    settings.updateInterval = updateInterval;
    settings.speed = speed;
    settings.symbols = symbols;
    settings.reserveScreenSpace = reserveScreenSpace;
    settings.reserveScreenSpaceStored = reserveScreenSpaceStored_;
    return settings;
}

platform::Rect TickerWindow::LoadSettings() {
    app::TickerSettings settings = SettingsFields();
    if (app::ReadTickerSettings(platform_.registry, settings) == app::SettingsSource::FirstRun) {
        platform_.windows.MessageBox(hwnd(), app::kGreetingText, app::kGreetingCaption, platform::kMbOk);
        return platform::Rect{};
    }
    alwaysOnTop = settings.alwaysOnTop;
    snapping = settings.snapping;
    dataMask = settings.dataMask;
    updateInterval = settings.updateInterval;
    speed = settings.speed;
    symbols = settings.symbols;
    reserveScreenSpace = settings.reserveScreenSpace;
    reserveScreenSpaceStored_ = settings.reserveScreenSpaceStored;
    return settings.rect;
}

void TickerWindow::SaveSettings() {
    app::TickerSettings settings = SettingsFields();
    platform_.windows.GetWindowRect(hwnd(), settings.rect);
    app::WriteTickerSettings(platform_.registry, settings);
}

}  // namespace ticker
