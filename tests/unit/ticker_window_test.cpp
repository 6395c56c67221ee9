// The ticker window: its state record, creation, message table, hit test,
// exit and destruction, driven through the recording fake.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/module_record.h"
#include "platform/constants.h"
#include "platform/fake/fake_platform.h"
#include "quotes/endpoints.h"
#include "ticker/ids.h"
#include "ticker/ticker_window.h"

namespace {

using platform::ProcResult;
using platform::Rect;
using platform::WindowHandle;
using platform::fake::FakePlatform;
using ticker::TickerWindow;

const std::string kKey = "HKLM\\Software\\Orvo";
constexpr Rect kTemplateRect{0, 0, 423, 18};

class TickerWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        app::InitModule(platform_, nullptr);
        fake.templateRects[ticker::kTickerTemplate] = kTemplateRect;
        window = std::make_unique<TickerWindow>(platform_, nullptr);
    }

    // Runs the bar's modal loop; `during` sees the live window.
    void Run(const std::function<void(WindowHandle)>& during) {
        fake.modalScripts[ticker::kTickerTemplate] = [&](FakePlatform&, WindowHandle w) {
            bar = w;
            during(w);
        };
        window->RunModal(nullptr, 0);
    }

    ProcResult Command(std::uint32_t id) { return fake.Send(bar, platform::kWmCommand, id, 0); }

    void StoreRect(std::int32_t top, std::int32_t left, std::int32_t right) {
        fake.SetDword(kKey, "Top", static_cast<std::uint32_t>(top));
        fake.SetDword(kKey, "Left", static_cast<std::uint32_t>(left));
        fake.SetDword(kKey, "Right", static_cast<std::uint32_t>(right));
    }

    FakePlatform fake;
    platform::Platform platform_ = fake.AsPlatform();
    std::unique_ptr<TickerWindow> window;
    WindowHandle bar = nullptr;
};

TEST_F(TickerWindowTest, ConstructionSetsEveryDefault) {
    EXPECT_EQ(window->hwnd(), nullptr);
    EXPECT_EQ(window->serverMessage, "");
    EXPECT_FALSE(window->updating);
    EXPECT_EQ(window->symbols, "MSFT, Help<" + quotes::HomeSiteHost() + "/help.html>");
    EXPECT_FALSE(window->dragging);
    EXPECT_FALSE(window->resizingLeft);
    EXPECT_FALSE(window->resizingRight);
    EXPECT_EQ(window->speed, 1);
    EXPECT_EQ(window->scrollInterval, 40u);
    EXPECT_EQ(window->updateInterval, 300000u);
    EXPECT_EQ(window->updateDelay, 500u);
    EXPECT_EQ(window->dataMask, 0x10000101u);
    EXPECT_TRUE(window->alwaysOnTop);
    EXPECT_TRUE(window->snapping);
    EXPECT_EQ(window->logoX, -2000);
    EXPECT_EQ(window->backgroundBrush.get(), nullptr);
    EXPECT_TRUE(window->exchangeMap.empty());
    EXPECT_TRUE(fake.calls.empty()) << "construction makes no platform call";
}

TEST_F(TickerWindowTest, DefaultSymbolListNamesTheHelpPageWithoutItsScheme) {
    const std::string list = ticker::DefaultSymbolList();
    EXPECT_EQ(list.find("http://"), std::string::npos);
    EXPECT_EQ(list, "MSFT, Help<" + quotes::HomeSite().substr(7) + "/help.html>");
}

TEST_F(TickerWindowTest, FirstRunCreationGreetsThenPlacesAndPreparesInOrder) {
    ProcResult initResult = 0;
    fake.sendSetFontFirst = false;
    Run([&](WindowHandle) { fake.EndDialog(bar, 0); });
    (void)initResult;

    const std::vector<std::string> expectedOrder = {
        "SetWindowText(w1, \"VELMORIA\")",
        "RegOpenKey(HKLM\\Software\\Orvo)",
        "MessageBox(w1, \"New Velmoria User\", 0)",
        "GetWindowRect(w1)",
        "GetSystemMetrics(0)",
        "MoveWindow(w1, 782, 0, 423, 18, repaint)",
        "SetWindowPos(w1, HWND_TOPMOST, 0, 0, 0, 0, 3)",
        "GetClientRect(w1)",
        "LoadImage(206, 0, 18, 18, 4128)",
        "GetDC(w1)",
        "CreateCompatibleDC(",
        "SelectObject(",
        "SetBkMode(",
        "GetSysColor(15)",
        "SetBkColor(",
        "CreateSolidBrush(15790320)",
        "SetTimer(w1, 33004, 40)",
        "SetTimer(w1, 33005, 500)",
    };
    int at = 0;
    for (const std::string& step : expectedOrder) {
        const int found = fake.IndexOf(step, at);
        ASSERT_GE(found, 0) << "missing or out of order: " << step;
        at = found + 1;
    }
    ASSERT_EQ(fake.messageBoxes.size(), 1u);
    EXPECT_EQ(fake.messageBoxes[0].text.substr(0, 48), "Velmoria - Free, Easy, Interactive Stock Ticker\n");
    EXPECT_EQ(fake.messageBoxes[0].style, platform::kMbOk);
    EXPECT_EQ(window->logoSize, 18);
}

TEST_F(TickerWindowTest, CreationSetsUpTheDrawingSurfaces) {
    Run([&](WindowHandle) {
        const platform::DcHandle dc = window->windowDC.get();
        ASSERT_NE(dc, nullptr);
        EXPECT_EQ(fake.BackgroundMode(dc), platform::kOpaque);
        EXPECT_EQ(fake.BackgroundColor(dc), 0xF0F0F0u);
        EXPECT_EQ(fake.SelectedObject(window->memoryDC.get(), "bitmap"), window->logoBitmap.get());
        EXPECT_NE(window->memoryDC.saved(), nullptr);
        EXPECT_NE(window->backgroundBrush.get(), nullptr);
        EXPECT_EQ(fake.window(bar).timers.at(ticker::SCROLL_TIMER), 40u);
        EXPECT_EQ(fake.window(bar).timers.at(ticker::UPDATE_TIMER), 500u);
        fake.EndDialog(bar, 0);
    });
}

TEST_F(TickerWindowTest, WmInitDialogReturnsTrueDirectly) {
    fake.deferCreation = true;
    WindowHandle w = nullptr;
    fake.whileDeferred = [&](FakePlatform& f) {
        w = f.CreateDeferredDialog(0);
        EXPECT_EQ(f.window(w).msgResult, 0) << "WM_INITDIALOG's result is not stored as message result";
        // The second WM_INITDIALOG would redo creation; here only its result counts.
        EXPECT_EQ(f.Send(w, platform::kWmInitDialog), 1);
        EXPECT_EQ(f.window(w).msgResult, 0);
    };
    window->RunModal(nullptr, 0);
    EXPECT_NE(w, nullptr);
}

struct PlacementCase {
    const char* name;
    std::function<void(FakePlatform&)> store;
    Rect expected;
    bool topmost;
};

class Placement : public TickerWindowTest, public ::testing::WithParamInterface<PlacementCase> {};

TEST_P(Placement, FollowsTheStoredSettings) {
    fake.registry[kKey];
    GetParam().store(fake);
    Run([&](WindowHandle) { fake.EndDialog(bar, 0); });
    EXPECT_EQ(fake.window(bar).rect, GetParam().expected);
    EXPECT_EQ(fake.window(bar).topmost, GetParam().topmost);
    EXPECT_TRUE(fake.messageBoxes.empty()) << "no greeting when the key exists";
}

void Rect3(FakePlatform& f, std::int32_t top, std::int32_t left, std::int32_t right) {
    f.SetDword(kKey, "Top", static_cast<std::uint32_t>(top));
    f.SetDword(kKey, "Left", static_cast<std::uint32_t>(left));
    f.SetDword(kKey, "Right", static_cast<std::uint32_t>(right));
}

INSTANTIATE_TEST_SUITE_P(
    Table, Placement,
    ::testing::Values(
        PlacementCase{"stored", [](FakePlatform& f) { Rect3(f, 100, 200, 700); }, {200, 100, 700, 118}, true},
        PlacementCase{"widened", [](FakePlatform& f) { Rect3(f, 100, 500, 550); }, {450, 100, 550, 118}, true},
        PlacementCase{"off screen brought back to the default place, its size kept",
                      [](FakePlatform& f) { Rect3(f, 2000, 1500, 1900); }, {805, 0, 1205, 18}, true},
        PlacementCase{"empty key: 100 wide, 16 high at the origin", [](FakePlatform&) {}, {0, 0, 100, 16}, true},
        PlacementCase{"bottom 0 falls back to the default placement",
                      [](FakePlatform& f) { Rect3(f, -18, 10, 400); }, {782, 0, 1205, 18}, true},
        PlacementCase{"right 0 alone falls back to the default placement",
                      [](FakePlatform& f) { Rect3(f, 100, -200, 0); }, {782, 0, 1205, 18}, true},
        PlacementCase{"AlwaysOnTop 0",
                      [](FakePlatform& f) {
                          Rect3(f, 0, 0, 500);
                          f.SetDword(kKey, "AlwaysOnTop", 0);
                      },
                      {0, 0, 500, 18}, false},
        PlacementCase{"AlwaysOnTop 7",
                      [](FakePlatform& f) {
                          Rect3(f, 0, 0, 500);
                          f.SetDword(kKey, "AlwaysOnTop", 7);
                      },
                      {0, 0, 500, 18}, true},
        PlacementCase{"AlwaysOnTop -1",
                      [](FakePlatform& f) {
                          Rect3(f, 0, 0, 500);
                          f.SetDword(kKey, "AlwaysOnTop", 0xFFFFFFFF);
                      },
                      {0, 0, 500, 18}, false}),
    [](const ::testing::TestParamInfo<PlacementCase>& info) { return "case" + std::to_string(info.index); });

TEST_F(TickerWindowTest, HitTestFoldsSizingCodes) {
    struct Case {
        ProcResult platformCode;
        ProcResult folded;
    };
    const Case cases[] = {{0, 0},   {1, 1},   {2, 2},   {10, 10}, {13, 10}, {16, 10}, {11, 11},
                          {14, 11}, {17, 11}, {12, 0},  {15, 0},  {18, 18}, {-1, -1}, {20, 20}};
    Run([&](WindowHandle) {
        for (const Case& c : cases) {
            fake.defaultHitCode = c.platformCode;
            EXPECT_EQ(fake.Send(bar, platform::kWmNcHitTest, 0, 0), 1) << "handled, result by DWL_MSGRESULT";
            EXPECT_EQ(fake.window(bar).msgResult, c.folded) << c.platformCode;
        }
        fake.EndDialog(bar, 0);
    });
}

TEST_F(TickerWindowTest, MessageTableRoutesEveryCommandOfTheBarAndNothingElse) {
    const std::vector<std::uint32_t> handled = {33000, 33001, 33006, 33007, 33008, 33009, 33010, 33011, 33012,
                                                33013, 33014, 33015, 33016, 33017, 33018, 33019, 33020, 33021,
                                                33022, 33023, 33024, 33025, 33026, 33027, 33028, 33030, 33031,
                                                33032, 33033};
    const std::vector<std::uint32_t> unhandled = {1, 2, 32999, 33003, 33004, 33005, 33029, 33034, 0};
    Run([&](WindowHandle) {
        for (std::uint32_t id : handled) {
            EXPECT_EQ(Command(id), 1) << id;
            EXPECT_EQ(Command((0x0001u << 16) | id), 1) << "notification code ignored for " << id;
        }
        for (std::uint32_t id : unhandled) EXPECT_EQ(Command(id), 0) << id;
        for (std::uint32_t message : {platform::kWmClose, platform::kWmDestroy, 0x000Fu /* WM_PAINT */}) {
            EXPECT_EQ(fake.Send(bar, message), 0) << message;
        }
        EXPECT_EQ(fake.Send(bar, platform::kWmTimer, 12345), 1) << "an unknown timer is consumed";
        EXPECT_TRUE(fake.window(bar).alive);
        EXPECT_FALSE(fake.window(bar).ended) << "Esc, Enter and close requests do nothing";
        fake.EndDialog(bar, 0);
    });
    platform::ProcResult result = 0;
    EXPECT_FALSE(window->HandleMessage({nullptr, platform::kWmCommand, 33002, 0}, result, 1)) << "only table 0";
}

TEST_F(TickerWindowTest, ExitStopsTimersReleasesDrawingSavesAndEnds) {
    StoreRect(40, 300, 900);
    Run([&](WindowHandle) {
        fake.calls.clear();
        EXPECT_EQ(Command((0x0005u << 16) | ticker::command::kExit), 1);
        EXPECT_TRUE(fake.window(bar).timers.empty());
    });
    const int killScroll = fake.IndexOf("KillTimer(w1, 33004)");
    const int killUpdate = fake.IndexOf("KillTimer(w1, 33005)");
    const int restore = fake.IndexOf("SelectObject(");
    const int deleteLogo = fake.IndexOf("DeleteObject(");
    const int release = fake.IndexOf("ReleaseDC(w1");
    const int save = fake.IndexOf("RegCreateKey(");
    const int end = fake.IndexOf("EndDialog(w1, 0)");
    const int quit = fake.IndexOf("PostQuitMessage(0)");
    for (int index : {killScroll, killUpdate, restore, deleteLogo, release, save, end, quit}) ASSERT_GE(index, 0);
    EXPECT_LT(killScroll, restore);
    EXPECT_LT(killUpdate, restore);
    EXPECT_LT(restore, deleteLogo) << "the logo is selected out before it is deleted";
    EXPECT_LT(deleteLogo, save);
    EXPECT_LT(release, save);
    EXPECT_LT(save, end);
    EXPECT_LT(end, quit);
    EXPECT_EQ(fake.postedQuitCode, 0);

    EXPECT_EQ(fake.Dword(kKey, "Top"), 40u);
    EXPECT_EQ(fake.Dword(kKey, "Left"), 300u);
    EXPECT_EQ(fake.Dword(kKey, "Right"), 900u);
    EXPECT_EQ(fake.Dword(kKey, "Speed"), 1u);
    EXPECT_EQ(fake.Text(kKey, "Symbols"), ticker::DefaultSymbolList());

    window.reset();
    EXPECT_TRUE(fake.liveObjects.empty()) << "every bitmap and brush is deleted";
    EXPECT_TRUE(fake.liveDcs.empty()) << "every drawing context is released";
    EXPECT_TRUE(fake.openKeys.empty());
}

TEST_F(TickerWindowTest, DestructionWithoutExitStillReleasesEverything) {
    Run([&](WindowHandle) { fake.EndDialog(bar, 0); });
    window.reset();
    EXPECT_TRUE(fake.liveObjects.empty());
    EXPECT_TRUE(fake.liveDcs.empty());
}

TEST_F(TickerWindowTest, SavedSpeedAndFlagsAreTheCorrectedOnes) {
    fake.registry[kKey];
    fake.SetDword(kKey, "Speed", 65535);
    fake.SetDword(kKey, "AlwaysOnTop", 7);
    fake.SetDword(kKey, "Snapping", 0xFFFFFFFF);
    fake.SetText(kKey, "Symbols", "IBM", platform::kRegExpandSz);
    Run([&](WindowHandle) { Command(ticker::command::kExit); });
    EXPECT_EQ(fake.Dword(kKey, "Speed"), 1u);
    EXPECT_EQ(fake.Dword(kKey, "AlwaysOnTop"), 1u);
    EXPECT_EQ(fake.Dword(kKey, "Snapping"), 0u);
    EXPECT_EQ(fake.Text(kKey, "Symbols"), ticker::DefaultSymbolList());
    EXPECT_EQ(fake.registry.at(kKey).at("Symbols").type, platform::kRegSz);
}

}  // namespace
