// The menu's commands: scroll speed, update frequency, data fields,
// always on top and the browser pages, each with what it saves.
#include "quotes/endpoints.h"
#include "tests/unit/bar_fixture.h"
#include "ticker/menu_choices.h"

namespace {

using bar_test::BarTest;
using platform::fake::FakePlatform;
namespace command = ticker::command;

class CommandTest : public BarTest {
protected:
    // Sends one command and checks it was handled and saved once.
    void Choose(std::uint16_t id, std::size_t expectedSaves = 1) {
        const std::size_t saves = Saves();
        EXPECT_EQ(Command(id), 1) << id;
        EXPECT_EQ(Saves(), saves + expectedSaves) << id;
    }
    bool HasCall(std::size_t from, const std::string& call) const {
        for (const std::string& made : CallsSince(from)) {
            if (made == call) return true;
        }
        return false;
    }
};

TEST_F(CommandTest, ScrollSpeedSetsSavesAndLeavesTheScrollTimerAlone) {
    struct Case {
        std::uint16_t id;
        std::int16_t speed;
    };
    const Case cases[] = {{command::kSpeedFast, 5}, {command::kSpeedStop, 0}, {command::kSpeedMedium, 3},
                          {command::kSpeedSlow, 1}, {command::kSpeedStop, 0}};
    Run([&] {
        for (const Case& c : cases) {
            const std::size_t from = fake.Calls().size();
            Choose(c.id);
            EXPECT_EQ(window->speed, c.speed) << c.id;
            EXPECT_EQ(Saved("Speed"), static_cast<std::uint32_t>(c.speed)) << c.id;
            for (const std::string& call : CallsSince(from)) {
                EXPECT_EQ(call.find("Timer(w1, 33004"), std::string::npos) << call;
            }
        }
        // After Stop the timer keeps running and each step moves nothing.
        EXPECT_EQ(fake.window(bar).timers.count(ticker::SCROLL_TIMER), 1u);
        window->AddItemsFromList("IBM");
        Timer(ticker::SCROLL_TIMER);
        const std::int32_t logo = window->logoX;
        const std::int32_t item = window->itemList[0]->x;
        Timer(ticker::SCROLL_TIMER);
        EXPECT_EQ(window->logoX, logo);
        EXPECT_EQ(window->itemList[0]->x, item);
    });
}

TEST(MenuChoices, EachCommandGivesItsSetting) {
    struct SpeedCase {
        std::uint16_t id;
        std::int16_t speed;
    };
    for (const SpeedCase& c : {SpeedCase{33006, 0}, SpeedCase{33007, 1}, SpeedCase{33008, 3}, SpeedCase{33009, 5},
                               SpeedCase{33010, 1}, SpeedCase{0, 1}}) {
        EXPECT_EQ(ticker::SpeedFor(c.id), c.speed) << c.id;
    }
    struct IntervalCase {
        std::uint16_t id;
        std::uint32_t interval;
    };
    for (const IntervalCase& c : {IntervalCase{33010, 0}, IntervalCase{33011, 120000}, IntervalCase{33012, 300000},
                                  IntervalCase{33013, 600000}, IntervalCase{33014, 1800000},
                                  IntervalCase{33009, 300000}}) {
        EXPECT_EQ(ticker::IntervalFor(c.id), c.interval) << c.id;
    }
}

TEST_F(CommandTest, UpdateFrequency) {
    struct Case {
        const char* name;
        std::uint32_t before;
        std::uint16_t id;
        std::uint32_t after;
        bool armed;  // UPDATE_TIMER armed with 500 ms, else killed
    };
    const Case cases[] = {
        {"Off", 300000, command::kUpdateOff, 0, false},
        {"2 minutes", 0, command::kUpdate2Minutes, 120000, true},
        {"5 minutes", 120000, command::kUpdate5Minutes, 300000, true},
        {"10 minutes", 300000, command::kUpdate10Minutes, 600000, true},
        {"30 minutes", 300000, command::kUpdate30Minutes, 1800000, true},
        {"the marked one again still starts a cycle", 600000, command::kUpdate10Minutes, 600000, true},
        {"Update Now keeps the interval", 120000, command::kUpdateNow, 120000, true},
        {"Update Now with updates off", 0, command::kUpdateNow, 0, true},
        {"Off again", 0, command::kUpdateOff, 0, false},
    };
    Run([&] {
        for (const Case& c : cases) {
            window->updateInterval = c.before;
            fake.window(bar).timers[ticker::UPDATE_TIMER] = 300000;  // a pending expiry
            const std::size_t from = fake.Calls().size();
            Choose(c.id);
            EXPECT_EQ(window->updateInterval, c.after) << c.name;
            EXPECT_EQ(Saved("Update"), c.after) << c.name;
            const auto& timers = fake.window(bar).timers;
            if (c.armed) {
                ASSERT_EQ(timers.count(ticker::UPDATE_TIMER), 1u) << c.name;
                EXPECT_EQ(timers.at(ticker::UPDATE_TIMER), 500u) << c.name << ": replaces the pending expiry";
                EXPECT_TRUE(HasCall(from, "SetTimer(w1, 33005, 500)")) << c.name;
            } else {
                EXPECT_EQ(timers.count(ticker::UPDATE_TIMER), 0u) << c.name;
                EXPECT_TRUE(HasCall(from, "KillTimer(w1, 33005)")) << c.name;
            }
        }
    });
}

TEST_F(CommandTest, UpdateNowRunsOneCycleThatRearmsWithTheInterval) {
    fake.SetDword(bar_test::kSettingsKey, "Update", 0);
    Run([&] {
        window->exchangeMap[""] = "http://q.test/d?f=x";  // no exchange list to load
        fake.internet.Serve(quotes::ServerMessageAddress(), "");  // unchanged: no rebuild
        Choose(command::kUpdateNow);
        Timer(ticker::UPDATE_TIMER);
        EXPECT_EQ(fake.RunStartedThreads(), 1u) << "one worker";
        fake.DeliverPosted();
        EXPECT_EQ(fake.window(bar).timers.count(ticker::UPDATE_TIMER), 0u) << "updates stay off";
    });
}

TEST_F(CommandTest, DataFieldsChangeTheMaskRelayoutRepaintAndSave) {
    struct Case {
        const char* name;
        std::uint32_t before;
        std::uint16_t id;
        std::uint32_t after;
    };
    const Case cases[] = {
        {"Current Price", 0x10000101, command::kCurrentPrice, 0x10000100},
        {"Time", 0x10000101, command::kTime, 0x10000111},
        {"Day's Change", 0x10000101, command::kDaysChange, 0x10000001},
        {"Day's % Change", 0x10000101, command::kDaysPercentChange, 0x10000103},
        {"Last Day's Close", 0x10000101, command::kLastDaysClose, 0x10001101},
        {"Opening Price", 0x10000101, command::kOpeningPrice, 0x10002101},
        {"Day's High", 0x10000101, command::kDaysHigh, 0x10010101},
        {"Day's Low", 0x10000101, command::kDaysLow, 0x10100101},
        {"Day's Volume", 0x10000101, command::kDaysVolume, 0x11000101},
        {"Show Fractions", 0x10000101, command::kShowFractions, 0x00000101},
        {"Select All", 0, command::kSelectAll, 0x11111113},
        {"Opening Price after Select All", 0x11111113, command::kOpeningPrice, 0x11113113},
        {"Reset Default", 0xFFFFFFFF, command::kResetDefault, 0x10000101},
        {"a field keeps the meaningless bits", 0xE0000000, command::kTime, 0xE0000010},
    };
    Run([&] {
        window->AddItemsFromList("IBM");
        window->itemList[0]->last = 105.25;
        window->itemList[0]->change = 1.5;
        window->itemList[0]->volume = 12345;
        for (const Case& c : cases) {
            window->dataMask = c.before;
            const std::size_t from = fake.Calls().size();
            Choose(c.id);
            EXPECT_EQ(window->dataMask, c.after) << c.name;
            EXPECT_EQ(Saved("DataMask"), c.after) << c.name;
            EXPECT_TRUE(HasCall(from, "InvalidateRect(w1, all, erase)")) << c.name;
            EXPECT_FALSE(window->itemList[0]->textStale) << c.name << ": the text was built again at once";
        }
        // Volume alone, off and on again.
        window->dataMask = 0x01000000;
        Choose(command::kDaysVolume);
        Choose(command::kDaysVolume);
        EXPECT_EQ(window->itemList[0]->dataText, "v:12345");
    });
}

TEST_F(CommandTest, ChoosingAFieldTwiceRestoresTheMask) {
    Run([&] {
        for (const ticker::DataFieldChoice& choice : ticker::kDataFieldChoices) {
            const std::uint32_t before = window->dataMask;
            Choose(choice.command);
            EXPECT_NE(window->dataMask, before) << choice.label;
            Choose(choice.command);
            EXPECT_EQ(window->dataMask, before) << choice.label;
        }
    });
}

TEST_F(CommandTest, DataCommandPacksTheRingForTheNewWidths) {
    Run([&] {
        window->AddItemsFromList("IBM, MSFT");
        for (const auto& item : window->itemList) {
            item->last = 10;
            item->change = 1;
        }
        Timer(ticker::SCROLL_TIMER);
        Choose(command::kSelectAll);
        const auto& items = window->itemList;
        EXPECT_EQ(items[1]->x, items[0]->Right()) << "the second follows the first's new end";
    });
}

TEST_F(CommandTest, AlwaysOnTopTogglesTheBandWithoutMovingTheBar) {
    Run([&] {
        const platform::Rect rect = fake.window(bar).rect;
        struct Step {
            bool onTop;
            const char* call;
        };
        for (const Step& step : {Step{false, "SetWindowPos(w1, HWND_NOTOPMOST, 0, 0, 0, 0, 3)"},
                                 Step{true, "SetWindowPos(w1, HWND_TOPMOST, 0, 0, 0, 0, 3)"},
                                 Step{false, "SetWindowPos(w1, HWND_NOTOPMOST, 0, 0, 0, 0, 3)"}}) {
            const std::size_t from = fake.Calls().size();
            Choose(command::kAlwaysOnTop);
            EXPECT_EQ(window->alwaysOnTop, step.onTop);
            EXPECT_EQ(fake.window(bar).topmost, step.onTop);
            EXPECT_TRUE(HasCall(from, step.call)) << step.call;
            EXPECT_EQ(Saved("AlwaysOnTop"), step.onTop ? 1u : 0u);
            EXPECT_EQ(fake.window(bar).rect, rect);
        }
    });
}

TEST_F(CommandTest, BrowserPagesOpenTheirAddressAndSaveNothing) {
    struct Case {
        std::uint16_t id;
        std::string address;
    };
    const Case cases[] = {
        {command::kVisitHomeSite, quotes::HomeSite()},
        {command::kHelp, quotes::HomeSite() + "/help.html"},
        {command::kSendToFriend, quotes::HomeSite()},
    };
    Run([&] {
        for (const Case& c : cases) {
            const std::size_t from = fake.Calls().size();
            Choose(c.id, 0);
            const std::vector<std::string> calls = CallsSince(from);
            ASSERT_EQ(calls.size(), 1u) << c.id << ": nothing but the shell";
            EXPECT_EQ(calls[0], "ShellExecute(null, null, \"" + c.address + "\", null, null, 1)");
        }
    });
    EXPECT_EQ(fake.opened.size(), std::size(cases));
}

TEST_F(CommandTest, EverySettingsCommandStoresTheBarsCurrentPlace) {
    const std::uint16_t settingsCommands[] = {command::kSpeedFast, command::kUpdateNow, command::kDaysLow,
                                              command::kAlwaysOnTop, command::kSnapping};
    Run([&] {
        std::int32_t left = 300;
        for (const std::uint16_t id : settingsCommands) {
            // Moved by the mouse, which saves nothing by itself.
            fake.window(bar).rect = {left, 500, left + 400, 518};
            Choose(id);
            EXPECT_EQ(Saved("Left"), static_cast<std::uint32_t>(left)) << id;
            EXPECT_EQ(Saved("Right"), static_cast<std::uint32_t>(left + 400)) << id;
            EXPECT_EQ(Saved("Top"), 500u) << id;
            left += 10;
        }
    });
}

}  // namespace
