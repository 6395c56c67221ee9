#pragma once
// A bar running its modal loop on the recording fake, for the tests of
// scrolling and of the update cycle.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/module_record.h"
#include "platform/constants.h"
#include "platform/fake/fake_platform.h"
#include "ticker/ids.h"
#include "ticker/ticker_window.h"

namespace bar_test {

inline const std::string kSettingsKey = "HKLM\\Software\\Orvo";
// The client area of the bar: 423 x 18, as template 201 comes out.
inline constexpr platform::Rect kBarRect{0, 0, 423, 18};
inline constexpr std::int32_t kLogoSlot = 2 * 18;

class BarTest : public ::testing::Test {
protected:
    void SetUp() override {
        app::InitModule(platform_, nullptr);
        fake.templateRects[ticker::kTickerTemplate] = kBarRect;
        // Settings exist (no greeting) and place the bar at kBarRect.
        fake.SetDword(kSettingsKey, "Top", static_cast<std::uint32_t>(kBarRect.top));
        fake.SetDword(kSettingsKey, "Left", static_cast<std::uint32_t>(kBarRect.left));
        fake.SetDword(kSettingsKey, "Right", static_cast<std::uint32_t>(kBarRect.right));
        window = std::make_unique<ticker::TickerWindow>(platform_, nullptr);
    }

    // Runs `during` inside the bar's modal loop; the bar ends afterwards
    // unless `during` chose Exit.
    void Run(const std::function<void()>& during) {
        fake.modalScripts[ticker::kTickerTemplate] = [&](platform::fake::FakePlatform& f, platform::WindowHandle w) {
            bar = w;
            during();
            f.EndDialog(w, 0);
        };
        window->RunModal(nullptr, 0);
    }

    platform::ProcResult Timer(std::uintptr_t id) { return fake.Send(bar, platform::kWmTimer, id, 0); }
    platform::ProcResult Command(std::uint16_t id) { return fake.Send(bar, platform::kWmCommand, id, 0); }
    // A mouse message at client (x, y), packed as the platform packs it,
    // with the left button in wParam while a left press holds it.
    platform::ProcResult Mouse(std::uint32_t message, std::int16_t x, std::int16_t y = 9) {
        if (message == platform::kWmLButtonDown) leftHeld_ = true;
        if (message == platform::kWmLButtonUp) leftHeld_ = false;
        return fake.Send(bar, message, leftHeld_ ? platform::kMkLButton : 0, PointParam(x, y));
    }
    // The left button comes up over another window: the bar is not told.
    void LeftUpElsewhere() { leftHeld_ = false; }
    static platform::LongParam PointParam(std::int16_t x, std::int16_t y) {
        return static_cast<platform::LongParam>(static_cast<std::uint32_t>(static_cast<std::uint16_t>(x)) |
                                                static_cast<std::uint32_t>(static_cast<std::uint16_t>(y)) << 16);
    }

    // The stored settings.
    std::uint32_t Saved(const std::string& name) const { return fake.Dword(kSettingsKey, name); }
    std::string SavedText(const std::string& name) const { return fake.Text(kSettingsKey, name); }
    // How often all settings were written so far.
    std::size_t Saves() const {
        std::size_t saves = 0;
        for (const std::string& call : fake.Calls()) saves += call.rfind("RegCreateKey(", 0) == 0 ? 1 : 0;
        return saves;
    }

    std::vector<std::string> Labels() const {
        std::vector<std::string> labels;
        for (const auto& item : window->itemList) labels.push_back(item->label);
        return labels;
    }
    std::vector<std::int32_t> Positions() const {
        std::vector<std::int32_t> positions;
        for (const auto& item : window->itemList) positions.push_back(item->x);
        return positions;
    }
    // The calls logged from `from` on, without the dialog framework's own
    // SetWindowLong calls that carry handler results.
    std::vector<std::string> CallsSince(std::size_t from) const {
        const std::vector<std::string> all = fake.Calls();
        std::vector<std::string> since;
        for (std::size_t i = from; i < all.size(); ++i) {
            if (all[i].rfind("SetWindowLong(", 0) != 0) since.push_back(all[i]);
        }
        return since;
    }

    platform::fake::FakePlatform fake;
    platform::Platform platform_ = fake.AsPlatform();
    std::unique_ptr<ticker::TickerWindow> window;
    platform::WindowHandle bar = nullptr;

private:
    bool leftHeld_ = false;
};

}  // namespace bar_test
