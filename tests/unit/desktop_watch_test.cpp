// The bar on a shared desktop: it steps back behind a full-screen program
// on its own monitor, rests while nobody can see it, and fetches quotes as
// soon as the network answers after a wake from sleep. Each trigger with
// its undo.
#include <cstring>
#include <functional>
#include <optional>
#include <regex>

#include "quotes/endpoints.h"
#include "tests/unit/bar_fixture.h"
#include "ticker/desktop_watch.h"

namespace {

using bar_test::BarTest;
using bar_test::kSettingsKey;
using platform::Rect;
using platform::WindowHandle;

constexpr Rect kFirstMonitor{0, 0, 1280, 1024};
constexpr Rect kSecondMonitor{1280, 0, 2560, 1024};
constexpr const char* kSource = "http://q.test/d/quotes.csv?f=sl1t1c1ghpv";
constexpr std::uint32_t kHalfHour = 1800000;

bool StartsWith(const std::string& text, const std::string& prefix) { return text.rfind(prefix, 0) == 0; }

// A power-setting notice for the console's display, as the platform sends it.
struct DisplayNotice {
    platform::PowerSettingChange head;
    std::uint8_t rest[3];
    explicit DisplayNotice(std::uint32_t state) {
        std::memcpy(head.setting, platform::kGuidConsoleDisplayState, sizeof head.setting);
        head.dataLength = sizeof state;
        std::memcpy(head.data, &state, sizeof state);
    }
};

class DesktopWatchTest : public BarTest {
protected:
    void SetUp() override {
        BarTest::SetUp();
        fake.SetText(kSettingsKey, "Symbols", "IBM");
        fake.internet.Serve(quotes::ExchangeListAddress(), std::string(",") + kSource + "\n");
        fake.internet.Serve(quotes::ServerMessageAddress(), "");
        fake.internet.Serve(std::string(kSource) + "&s=IBM", "\"IBM\",101.5,\"4:00pm\",+1.5,100,102,100,1000\n");
        desktop = fake.AddWindow("desktop");
        shell = fake.AddWindow("shell");
        fake.desktopWindow = desktop;
        fake.shellWindow = shell;
        fake.window(desktop).rect = kFirstMonitor;
        fake.window(shell).rect = kFirstMonitor;
    }

    void Session(platform::MessageParam event) { fake.Send(bar, platform::kWmWtsSessionChange, event, 0); }
    platform::ProcResult Power(platform::MessageParam event, platform::LongParam lParam = 0) {
        return fake.Send(bar, platform::kWmPowerBroadcast, event, lParam);
    }
    void Display(std::uint32_t state) {
        DisplayNotice notice(state);
        Power(platform::kPbtPowerSettingChange, reinterpret_cast<platform::LongParam>(&notice));
    }
    bool TimerRuns(std::uintptr_t id) { return fake.window(bar).timers.count(id) == 1; }
    std::uint32_t TimerPeriod(std::uintptr_t id) { return fake.window(bar).timers.at(id); }
    // Runs the workers and lets the bar take what they hand over, until
    // neither has anything left to do.
    void Cycle() {
        while (fake.RunStartedThreads() + fake.DeliverPosted() > 0) {
        }
    }
    // The quote requests sent so far.
    std::size_t QuoteRequests() const {
        std::size_t count = 0;
        for (const std::string& call : fake.internet.CallsNamed("HttpOpenRequest")) {
            count += call.find("quotes.csv") != std::string::npos ? 1 : 0;
        }
        return count;
    }
    std::size_t Drawings(std::size_t from) const {
        std::size_t count = 0;
        for (const std::string& call : CallsSince(from)) {
            for (const char* drawing : {"BitBlt(", "TextOut(", "FillRect(", "Rectangle(", "LineTo("}) {
                count += StartsWith(call, drawing) ? 1 : 0;
            }
        }
        return count;
    }
    // The bar with its items and quotes, as after its first cycle.
    void FirstCycle() {
        Timer(ticker::UPDATE_TIMER);
        Cycle();
        Timer(ticker::SCROLL_TIMER);
    }

    WindowHandle desktop = nullptr;
    WindowHandle shell = nullptr;
};

// ---- Full-screen programs ----------------------------------------------------

TEST_F(DesktopWatchTest, ATopmostBarStepsBackOnlyForAFullScreenProgramOnItsOwnMonitor) {
    struct Case {
        const char* name;
        Rect front;              // the rectangle of the window in front
        std::uint32_t style;     // its style
        int which;               // 0 a program's window, 1 the desktop, 2 the shell
        bool stepsBack;
    };
    constexpr std::uint32_t kPopup = 0x80000000;
    constexpr std::uint32_t kCaptioned = 0x00CF0000;  // WS_OVERLAPPEDWINDOW
    const Case cases[] = {
        {"full screen on the bar's monitor", kFirstMonitor, kPopup, 0, true},
        {"full screen and beyond on the bar's monitor", {-4, -4, 1284, 1028}, kPopup, 0, true},
        {"full screen on another monitor", kSecondMonitor, kPopup, 0, false},
        {"the desktop window", kFirstMonitor, kPopup, 1, false},
        {"the shell's window", kFirstMonitor, kPopup, 2, false},
        {"a maximised window with a caption", {-8, -8, 1288, 1032}, kCaptioned, 0, false},
        {"a window short of the bottom edge", {0, 0, 1280, 1000}, kPopup, 0, false},
    };
    fake.monitors = {{kFirstMonitor, kFirstMonitor, platform::kBaseDpi}, {kSecondMonitor, kSecondMonitor, platform::kBaseDpi}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        fake.monitors = {{kFirstMonitor, kFirstMonitor, platform::kBaseDpi}, {kSecondMonitor, kSecondMonitor, platform::kBaseDpi}};
        Run([&] {
            const WindowHandle program = fake.AddWindow("program");
            const WindowHandle front = c.which == 0 ? program : c.which == 1 ? desktop : shell;
            fake.window(front).rect = c.front;
            fake.window(front).style = c.style;
            ASSERT_TRUE(fake.window(bar).topmost);
            ASSERT_EQ(TimerPeriod(ticker::FULL_SCREEN_TIMER), ticker::kFullScreenCheckMs);

            fake.foregroundWindow = front;
            const std::size_t from = fake.Calls().size();
            const auto placements = [&] {
                std::size_t count = 0;
                for (const std::string& call : CallsSince(from)) count += StartsWith(call, "SetWindowPos(") ? 1 : 0;
                return count;
            };
            Timer(ticker::FULL_SCREEN_TIMER);
            EXPECT_EQ(!fake.window(bar).topmost, c.stepsBack);
            EXPECT_EQ(window->desktopWatch().steppedBack, c.stepsBack);
            if (c.stepsBack) {
                EXPECT_EQ(CallsSince(from).back(), "SetWindowPos(" + fake.NameOf(bar) + ", other, 0, 0, 0, 0, 19)")
                    << "behind the program";
            }
            Timer(ticker::FULL_SCREEN_TIMER);
            EXPECT_EQ(!fake.window(bar).topmost, c.stepsBack) << "a second look changes nothing";

            // The program leaves full screen: topmost again.
            fake.window(front).rect = Rect{100, 100, 800, 600};
            Timer(ticker::FULL_SCREEN_TIMER);
            EXPECT_TRUE(fake.window(bar).topmost);
            EXPECT_FALSE(window->desktopWatch().steppedBack);
            EXPECT_EQ(placements(), c.stepsBack ? 3u : 0u)
                << "out of the band, behind the program and back; nothing without a step back";
        });
    }
}

TEST_F(DesktopWatchTest, TheBarIsTopmostAgainWhenTheFullScreenProgramLosesTheForeground) {
    Run([&] {
        const WindowHandle game = fake.AddWindow("game");
        fake.window(game).rect = kFirstMonitor;
        fake.foregroundWindow = game;
        Timer(ticker::FULL_SCREEN_TIMER);
        ASSERT_FALSE(fake.window(bar).topmost);
        const WindowHandle editor = fake.AddWindow("editor");
        fake.window(editor).rect = Rect{10, 10, 500, 500};
        for (const WindowHandle front : {editor, static_cast<WindowHandle>(nullptr), bar}) {
            fake.foregroundWindow = game;
            Timer(ticker::FULL_SCREEN_TIMER);
            EXPECT_FALSE(fake.window(bar).topmost);
            fake.foregroundWindow = front;
            Timer(ticker::FULL_SCREEN_TIMER);
            EXPECT_TRUE(fake.window(bar).topmost);
        }
    });
}

TEST_F(DesktopWatchTest, ABarNotAlwaysOnTopIsLeftAloneByFullScreenPrograms) {
    fake.SetDword(kSettingsKey, "AlwaysOnTop", 0);
    Run([&] {
        EXPECT_FALSE(TimerRuns(ticker::FULL_SCREEN_TIMER)) << "nothing to look for";
        const WindowHandle game = fake.AddWindow("game");
        fake.window(game).rect = kFirstMonitor;
        fake.foregroundWindow = game;
        Timer(ticker::FULL_SCREEN_TIMER);  // a stray expiry
        EXPECT_TRUE(fake.CallsNamed("SetWindowPos").empty());
        EXPECT_TRUE(fake.CallsNamed("GetForegroundWindow").empty());

        // Switched on, it looks again; switched off while stepped back, it
        // stays out of the topmost band and stops looking.
        Command(ticker::command::kAlwaysOnTop);
        EXPECT_TRUE(TimerRuns(ticker::FULL_SCREEN_TIMER));
        Timer(ticker::FULL_SCREEN_TIMER);
        EXPECT_FALSE(fake.window(bar).topmost);
        Command(ticker::command::kAlwaysOnTop);
        EXPECT_FALSE(TimerRuns(ticker::FULL_SCREEN_TIMER));
        fake.foregroundWindow = nullptr;
        Timer(ticker::FULL_SCREEN_TIMER);
        EXPECT_FALSE(fake.window(bar).topmost);
    });
}

// ---- Nobody looking ----------------------------------------------------------

TEST_F(DesktopWatchTest, NobodyLookingStopsScrollingDrawingAndDownloadsUntilSomebodyLooksAgain) {
    // A session notice, or with `display` a display-state notice.
    struct Case {
        const char* name;
        bool display;
        platform::MessageParam away;
        platform::MessageParam back;
    };
    const Case cases[] = {
        {"locked and unlocked", false, platform::kWtsSessionLock, platform::kWtsSessionUnlock},
        {"switched to another user and back", false, platform::kWtsConsoleDisconnect, platform::kWtsConsoleConnect},
        {"a remote session left and taken up", false, platform::kWtsRemoteDisconnect, platform::kWtsRemoteConnect},
        {"the screen off and on", true, platform::kDisplayOff, 1},
        {"the screen off and dimmed", true, platform::kDisplayOff, 2},
    };
    const auto tell = [&](bool display, platform::MessageParam event) {
        if (display) {
            Display(static_cast<std::uint32_t>(event));
        } else {
            Session(event);
        }
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        Run([&] {
            EXPECT_EQ(fake.sessionWatchers.count(bar), 1u);
            EXPECT_EQ(fake.liveNotifications.size(), 1u);
            FirstCycle();
            for (int i = 0; i < 5; ++i) Timer(ticker::SCROLL_TIMER);
            const std::int32_t logo = window->logoX;
            const std::int32_t item = window->itemList.at(0)->x;
            const std::size_t requests = QuoteRequests();
            const std::size_t workers = fake.CallsNamed("StartThread").size();

            tell(c.display, c.away);
            EXPECT_TRUE(window->desktopWatch().NobodyLooks());
            EXPECT_FALSE(TimerRuns(ticker::SCROLL_TIMER));
            EXPECT_FALSE(TimerRuns(ticker::FULL_SCREEN_TIMER));
            const std::size_t from = fake.Calls().size();
            Timer(ticker::SCROLL_TIMER);  // one that was already on its way
            Timer(ticker::UPDATE_TIMER);  // the interval passes
            Timer(ticker::FULL_SCREEN_TIMER);
            Cycle();
            EXPECT_EQ(Drawings(from), 0u);
            EXPECT_EQ(QuoteRequests(), requests) << "no download";
            EXPECT_EQ(fake.CallsNamed("StartThread").size(), workers) << "no worker";
            EXPECT_FALSE(TimerRuns(ticker::SCROLL_TIMER));
            EXPECT_EQ(window->logoX, logo);

            tell(c.display, c.back);
            EXPECT_FALSE(window->desktopWatch().NobodyLooks());
            EXPECT_EQ(TimerPeriod(ticker::SCROLL_TIMER), window->scrollInterval);
            EXPECT_EQ(TimerPeriod(ticker::UPDATE_TIMER), window->updateDelay) << "the cycle it owes, soon";
            EXPECT_TRUE(TimerRuns(ticker::FULL_SCREEN_TIMER));
            Timer(ticker::SCROLL_TIMER);
            EXPECT_EQ(window->logoX, logo - window->speed) << "on from where it stood";
            EXPECT_EQ(window->itemList.at(0)->x, item - window->speed);
            Timer(ticker::UPDATE_TIMER);
            Cycle();
            EXPECT_EQ(QuoteRequests(), requests + 1) << "one cycle";
        });
    }
}

TEST_F(DesktopWatchTest, SomebodyLooksAgainOnlyWhenEveryReasonHasGone) {
    Run([&] {
        FirstCycle();
        Session(platform::kWtsSessionLock);
        Display(platform::kDisplayOff);
        Session(platform::kWtsSessionUnlock);
        EXPECT_TRUE(window->desktopWatch().NobodyLooks()) << "the screen is still off";
        EXPECT_FALSE(TimerRuns(ticker::SCROLL_TIMER));
        Display(1);
        EXPECT_TRUE(TimerRuns(ticker::SCROLL_TIMER));
        EXPECT_EQ(TimerPeriod(ticker::UPDATE_TIMER), window->updateInterval)
            << "no cycle fell due while nobody looked: the interval runs on";
    });
}

TEST_F(DesktopWatchTest, NoticesOfOtherSettingsAndMalformedOnesChangeNothing) {
    Run([&] {
        DisplayNotice other(platform::kDisplayOff);
        other.head.setting[0] ^= 0xFF;
        DisplayNotice shortData(platform::kDisplayOff);
        shortData.head.dataLength = 1;
        for (platform::LongParam notice :
             {reinterpret_cast<platform::LongParam>(&other), reinterpret_cast<platform::LongParam>(&shortData),
              platform::LongParam{0}}) {
            EXPECT_EQ(Power(platform::kPbtPowerSettingChange, notice), 1);
            EXPECT_FALSE(window->desktopWatch().NobodyLooks());
        }
        Session(0x5);  // a logon, of no concern
        EXPECT_FALSE(window->desktopWatch().NobodyLooks());
        EXPECT_TRUE(TimerRuns(ticker::SCROLL_TIMER));
    });
}

TEST_F(DesktopWatchTest, ExitGivesBackTheNoticesAndStopsEveryTimer) {
    Run([&] {
        EXPECT_EQ(fake.networkWatches.size(), 1u);
        Power(platform::kPbtApmResumeAutomatic);
        Command(ticker::command::kExit);
        EXPECT_TRUE(fake.sessionWatchers.empty());
        EXPECT_TRUE(fake.liveNotifications.empty());
        EXPECT_TRUE(fake.networkWatches.empty());
        EXPECT_TRUE(fake.window(bar).timers.empty());
    });
}

// ---- Waking from sleep --------------------------------------------------------

TEST_F(DesktopWatchTest, AfterAWakeTheQuotesComeAsSoonAsTheNetworkAnswers) {
    struct Case {
        const char* name;
        int failedTries;  // tries before the server answers, one every five seconds
    };
    for (const Case c : {Case{"network back at once", 0}, Case{"network back after 20 s", 4}}) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        fake.SetDword(kSettingsKey, "Update", kHalfHour);
        fake.internet.Serve(quotes::ServerMessageAddress(), "");
        Run([&] {
            FirstCycle();
            ASSERT_EQ(TimerPeriod(ticker::UPDATE_TIMER), kHalfHour);
            fake.internet.connectFails = true;  // asleep, the network went
            const std::size_t requests = QuoteRequests();

            EXPECT_EQ(Power(platform::kPbtApmResumeAutomatic), 1);
            EXPECT_EQ(TimerPeriod(ticker::UPDATE_TIMER), window->updateDelay) << "a try at once";
            EXPECT_EQ(TimerPeriod(ticker::WAKE_TIMER), ticker::kWakeTryMs);
            for (int i = 0; i < c.failedTries; ++i) {
                Timer(ticker::UPDATE_TIMER);
                Cycle();
                EXPECT_TRUE(TimerRuns(ticker::WAKE_TIMER)) << "the server has not answered yet";
                Timer(ticker::WAKE_TIMER);
            }
            fake.internet.connectFails = false;
            fake.internet.Serve(std::string(kSource) + "&s=IBM", "\"IBM\",99.5,\"9:30am\",-0.5,100,102,99,10\n");
            Timer(ticker::UPDATE_TIMER);
            Cycle();
            EXPECT_GT(QuoteRequests(), requests);
            EXPECT_EQ(window->itemList.at(0)->last, 99.5);
            EXPECT_FALSE(TimerRuns(ticker::WAKE_TIMER)) << "no more tries";
            EXPECT_EQ(TimerPeriod(ticker::UPDATE_TIMER), kHalfHour) << "then the interval as ever";
        });
    }
}

TEST_F(DesktopWatchTest, AfterAWakeTheTriesEndAfterAMinuteWithoutNetwork) {
    fake.internet.Serve(quotes::ServerMessageAddress(), "");
    Run([&] {
        FirstCycle();
        fake.internet.connectFails = true;
        Power(platform::kPbtApmResumeAutomatic);
        int tries = 1;
        while (TimerRuns(ticker::WAKE_TIMER) && tries < 100) {
            Timer(ticker::UPDATE_TIMER);
            Cycle();
            Timer(ticker::WAKE_TIMER);
            ++tries;
        }
        EXPECT_EQ(tries, 1 + ticker::kWakeRetries);
        EXPECT_EQ(static_cast<int>(ticker::kWakeRetries * ticker::kWakeTryMs), 60000) << "about a minute";
    });
}

TEST_F(DesktopWatchTest, AChangeOfNetworkAfterAnOutageBringsQuotesAtOnce) {
    struct Case {
        const char* name;
        bool outage;       // the last cycle could not reach the home site
        bool updatesOff;
        bool triesEarly;
    };
    const Case cases[] = {
        {"a change while the network works", false, false, false},
        {"the network back after an outage", true, false, true},
        {"the network back, updates off", true, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        fake.SetDword(kSettingsKey, "Update", kHalfHour);
        Run([&] {
            FirstCycle();
            if (c.outage) {
                fake.internet.connectFails = true;
                Timer(ticker::UPDATE_TIMER);
                Cycle();
                fake.internet.connectFails = false;
            }
            if (c.updatesOff) Command(ticker::command::kUpdateOff);
            const std::size_t requests = QuoteRequests();

            fake.NetworkChanged();
            Cycle();
            EXPECT_EQ(TimerRuns(ticker::WAKE_TIMER), c.triesEarly);
            if (!c.triesEarly) {
                EXPECT_EQ(TimerRuns(ticker::UPDATE_TIMER), !c.updatesOff);
                if (!c.updatesOff) {
                    EXPECT_EQ(TimerPeriod(ticker::UPDATE_TIMER), kHalfHour) << "the interval as ever";
                }
                return;
            }
            EXPECT_EQ(TimerPeriod(ticker::UPDATE_TIMER), window->updateDelay) << "a try at once";
            Timer(ticker::UPDATE_TIMER);
            Cycle();
            EXPECT_GT(QuoteRequests(), requests);
            EXPECT_FALSE(TimerRuns(ticker::WAKE_TIMER)) << "the network answered: no more tries";
            EXPECT_EQ(TimerPeriod(ticker::UPDATE_TIMER), kHalfHour);

            fake.NetworkChanged();
            Cycle();
            EXPECT_FALSE(TimerRuns(ticker::WAKE_TIMER)) << "the network works again";
        });
    }
}

TEST_F(DesktopWatchTest, AWakeWithUpdatesOffOrWhileLockedFetchesNothingYet) {
    fake.SetDword(kSettingsKey, "Update", 0);
    Run([&] {
        FirstCycle();
        const std::size_t requests = QuoteRequests();
        const std::size_t from = fake.Calls().size();
        Power(platform::kPbtApmResumeAutomatic);
        EXPECT_TRUE(CallsSince(from).empty()) << "updates are off";
        EXPECT_EQ(QuoteRequests(), requests);
    });
    TearDown();
    SetUp();
    Run([&] {
        FirstCycle();
        const std::size_t requests = QuoteRequests();
        Session(platform::kWtsSessionLock);
        Power(platform::kPbtApmResumeAutomatic);
        Timer(ticker::UPDATE_TIMER);
        Cycle();
        EXPECT_EQ(QuoteRequests(), requests) << "nobody looks";
        Session(platform::kWtsSessionUnlock);
        Timer(ticker::UPDATE_TIMER);
        Cycle();
        EXPECT_EQ(QuoteRequests(), requests + 1) << "at the unlock";
    });
}

// ---- Reserve Screen Space ----------------------------------------------------

class ScreenSpaceTest : public DesktopWatchTest {
protected:
    // The strip the shell holds for the bar, or nothing.
    std::optional<Rect> Reserved() const {
        const auto found = fake.appBars.find(bar);
        if (found == fake.appBars.end()) return std::nullopt;
        return found->second;
    }
    void DragBy(std::int16_t dy, std::int16_t dx = 0) {
        Mouse(platform::kWmLButtonDown, 50, 9);
        Mouse(platform::kWmMouseMove, static_cast<std::int16_t>(50 + dx), static_cast<std::int16_t>(9 + dy));
        Mouse(platform::kWmLButtonUp, static_cast<std::int16_t>(50 + dx), static_cast<std::int16_t>(9 + dy));
    }
    bool MenuChecked() {
        fake.menuChoice = 0;
        Mouse(platform::kWmRButtonDown, 10, 5);
        for (const auto& line : fake.trackedMenus.back().lines) {
            if (line.id == ticker::command::kReserveScreenSpace) return (line.flags & platform::kMfChecked) != 0;
        }
        ADD_FAILURE() << "no \"Reserve Screen Space\" item";
        return false;
    }
};

TEST_F(ScreenSpaceTest, OffByDefaultItTouchesNeitherTheShellNorTheStoredValues) {
    Run([&] {
        EXPECT_FALSE(MenuChecked());
        Command(ticker::command::kSpeedFast);  // any save
        DragBy(300);
    });
    EXPECT_TRUE(fake.CallsNamed("SHAppBarMessage").empty());
    EXPECT_FALSE(fake.HasValue(kSettingsKey, "ReserveScreenSpace")) << "the nine values alone";
}

TEST_F(ScreenSpaceTest, TheStripFollowsTheBarFromSwitchOnToExit) {
    constexpr std::int32_t kBottom = 1024;
    struct Step {
        const char* name;
        std::function<void()> act;
        std::optional<Rect> reserved;  // the bar's strip after the step
        std::int32_t barTop;
    };
    const Step steps[] = {
        {"switched on at the top", [&] { Command(ticker::command::kReserveScreenSpace); }, Rect{0, 0, 1280, 18}, 0},
        {"another toolbar takes the top 30 pixels",
         [&] {
             fake.appBarSpaceTaken = 30;
             fake.Send(bar, ticker::kWmAppBarNotice, platform::kAbnPosChanged, 0);
         },
         Rect{0, 30, 1280, 48}, 30},
        {"dragged to the middle", [&] { DragBy(400); }, std::nullopt, 430},
        {"dragged to the bottom", [&] { DragBy(580); }, Rect{0, kBottom - 30 - 18, 1280, kBottom - 30},
         kBottom - 30 - 18},
        {"the shell restarts and knows no toolbar",
         [&] {
             fake.appBars.clear();
             fake.appBarSpaceTaken = 0;
             fake.Send(bar, fake.registeredMessages.at("TaskbarCreated"));
         },
         Rect{0, kBottom - 18, 1280, kBottom}, kBottom - 18},
        {"switched off", [&] { Command(ticker::command::kReserveScreenSpace); }, std::nullopt, kBottom - 18},
        {"switched on again", [&] { Command(ticker::command::kReserveScreenSpace); }, Rect{0, kBottom - 18, 1280, kBottom},
         kBottom - 18},
        {"exit", [&] { Command(ticker::command::kExit); }, std::nullopt, kBottom - 18},
    };
    Run([&] {
        for (const Step& step : steps) {
            SCOPED_TRACE(step.name);
            step.act();
            EXPECT_EQ(Reserved(), step.reserved);
            EXPECT_EQ(fake.window(bar).rect.top, step.barTop);
            EXPECT_EQ(fake.window(bar).rect.bottom - fake.window(bar).rect.top, 18) << "the bar keeps its height";
            if (!window->Exited()) {
                EXPECT_EQ(MenuChecked(), step.name != std::string("switched off"));
            }
        }
    });
    EXPECT_EQ(Saved("ReserveScreenSpace"), 1u) << "stored on, as it stood at Exit";
    const std::vector<std::string> messages = fake.CallsNamed("SHAppBarMessage");
    ASSERT_FALSE(messages.empty());
    EXPECT_TRUE(StartsWith(messages.back(), "SHAppBarMessage(1, ")) << "ABM_REMOVE last";
}

TEST_F(ScreenSpaceTest, OnAnotherMonitorTheStripKeepsToThatMonitorAndItsOwnTaskBar) {
    // The second monitor has a task bar of its own, 30 pixels at its bottom;
    // the first has none.
    constexpr std::int32_t kSecondTaskBar = 30;
    const Rect secondWork{kSecondMonitor.left, 0, kSecondMonitor.right, kSecondMonitor.bottom - kSecondTaskBar};
    fake.monitors = {{kFirstMonitor, kFirstMonitor, platform::kBaseDpi}, {kSecondMonitor, secondWork, platform::kBaseDpi}};
    Run([&] {
        Command(ticker::command::kReserveScreenSpace);
        EXPECT_EQ(Reserved(), (Rect{0, 0, 1280, 18}));

        // Dropped just above the second monitor's task bar, where it snaps.
        fake.appBarSpaceTaken = kSecondTaskBar;
        DragBy(secondWork.bottom - 18 - 4, 1300);
        const Rect moved = fake.window(bar).rect;
        EXPECT_GE(moved.left, kSecondMonitor.left);
        EXPECT_EQ(moved.bottom, secondWork.bottom) << "on the task bar's edge";
        EXPECT_EQ(Reserved(), (Rect{kSecondMonitor.left, secondWork.bottom - 18, kSecondMonitor.right, secondWork.bottom}))
            << "docked at the bottom of the monitor it stands on";
    });
}

TEST_F(ScreenSpaceTest, AStoredChoiceDocksAtStartAndOffIsStoredAsZero) {
    fake.SetDword(kSettingsKey, "ReserveScreenSpace", 1);
    Run([&] {
        EXPECT_EQ(Reserved(), (Rect{0, 0, 1280, 18}));
        EXPECT_TRUE(MenuChecked());
        Command(ticker::command::kReserveScreenSpace);
        EXPECT_EQ(Reserved(), std::nullopt);
    });
    EXPECT_EQ(Saved("ReserveScreenSpace"), 0u);
}

}  // namespace
