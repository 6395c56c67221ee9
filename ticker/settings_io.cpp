// The bar's side of the persisted settings: its fields in and out of the
// stored record, and the greeting of a first-time user.
#include "app/dpi_scale.h"
#include "app/monitors.h"
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
    platform::Rect window;
    platform_.windows.GetWindowRect(hwnd(), window);
    // In 96-DPI units, as the bar always stored it: settings written on one
    // monitor place it right on another, and those of old still fit.
    const app::MonitorSpot spot = app::MonitorOf(platform_.windows, window);
    settings.rect = app::RectToUnits(window, spot.origin(), spot.dpi);
    app::WriteTickerSettings(platform_.registry, settings);
}

}  // namespace ticker
