// Process entry: the single-instance guard and the whole run.
#include <gtest/gtest.h>

#include <string>

#include "app/entry.h"
#include "app/module_record.h"
#include "app/single_instance.h"
#include "platform/constants.h"
#include "platform/fake/fake_platform.h"
#include "ticker/ids.h"
#include "ticker/ticker_window.h"

namespace {

using platform::WindowHandle;
using platform::fake::FakePlatform;

TEST(SingleInstance, OnlyAnExactTopLevelTitleCounts) {
    struct Case {
        const char* title;
        bool child;
        bool running;
    };
    const Case cases[] = {
        {"VELMORIA", false, true},   {"velmoria", false, false}, {"VELMORIA ", false, false},
        {" VELMORIA", false, false}, {"VELMORIAX", false, false}, {"VELMORI", false, false},
        {"VELMORIA", true, false},   {"", false, false},
    };
    for (const Case& c : cases) {
        FakePlatform fake;
        fake.AddWindow("Some other window");
        const WindowHandle parent = fake.AddWindow("Parent");
        fake.AddWindow(c.title, c.child ? parent : nullptr);
        fake.AddWindow("Last window");
        EXPECT_EQ(app::TickerAlreadyRunning(fake), c.running) << '"' << c.title << '"' << (c.child ? " child" : "");
    }
}

TEST(SingleInstance, StopsAtTheFirstMatchAndReadsTitlesWithRoomForTheTerminator) {
    FakePlatform fake;
    fake.AddWindow("Other");
    fake.AddWindow("VELMORIA");
    fake.AddWindow("VELMORIA");
    EXPECT_TRUE(app::TickerAlreadyRunning(fake));
    EXPECT_EQ(fake.CallsNamed("GetWindowText"), std::vector<std::string>{"GetWindowText(w2, 9)"});
    EXPECT_EQ(fake.CallsNamed("GetWindowTextLength").size(), 2u);
}

TEST(SingleInstance, FailedEnumerationCountsAsRunning) {
    FakePlatform fake;
    fake.enumerationFails = true;
    EXPECT_TRUE(app::TickerAlreadyRunning(fake));
}

TEST(Entry, SecondStartShowsTheNoticeAndCreatesNoWindow) {
    FakePlatform fake;
    platform::Platform platform = fake.AsPlatform();
    fake.AddWindow("VELMORIA");
    EXPECT_EQ(app::RunVelmoria(platform, nullptr), 0);
    ASSERT_EQ(fake.messageBoxes.size(), 1u);
    EXPECT_EQ(fake.messageBoxes[0].owner, nullptr);
    EXPECT_EQ(fake.messageBoxes[0].text, "Velmoria is already running.");
    EXPECT_EQ(fake.messageBoxes[0].caption, "Velmoria");
    EXPECT_EQ(fake.messageBoxes[0].style, platform::kMbIconInformation);
    EXPECT_TRUE(fake.CallsNamed("DialogBoxParam").empty());
    EXPECT_TRUE(fake.registry.empty());
}

TEST(Entry, RunsTheBarUntilExitAndWritesTheSettings) {
    FakePlatform fake;
    platform::Platform platform = fake.AsPlatform();
    fake.templateRects[ticker::kTickerTemplate] = {0, 0, 423, 18};
    bool stillRunningAfterKeys = false;
    fake.modalScripts[ticker::kTickerTemplate] = [&](FakePlatform& f, WindowHandle bar) {
        // While it runs, a second start is refused.
        FakePlatform::Window& w = f.window(bar);
        EXPECT_EQ(w.title, "VELMORIA");
        EXPECT_TRUE(app::TickerAlreadyRunning(f));
        f.Send(bar, platform::kWmCommand, platform::kIdCancel);
        f.Send(bar, platform::kWmCommand, platform::kIdOk);
        f.Send(bar, platform::kWmClose);
        stillRunningAfterKeys = !f.window(bar).ended;
        f.Send(bar, platform::kWmCommand, ticker::command::kExit);
    };
    EXPECT_EQ(app::RunVelmoria(platform, nullptr), 0);
    EXPECT_TRUE(stillRunningAfterKeys);
    EXPECT_EQ(fake.CallsNamed("DialogBoxParam"), std::vector<std::string>{"DialogBoxParam(201, null, 0)"});
    const auto& values = fake.registry.at("HKLM\\Software\\Orvo");
    EXPECT_EQ(values.size(), 9u);
    EXPECT_EQ(fake.Dword("HKLM\\Software\\Orvo", "Left"), 782u);
    EXPECT_EQ(fake.Dword("HKLM\\Software\\Orvo", "Right"), 1205u);
    EXPECT_EQ(fake.Dword("HKLM\\Software\\Orvo", "DataMask"), 0x10000101u);
    EXPECT_EQ(fake.Dword("HKLM\\Software\\Orvo", "Update"), 300000u);
    EXPECT_TRUE(fake.liveObjects.empty());
    EXPECT_TRUE(fake.liveDcs.empty());
}

TEST(Entry, ABarWhoseWindowCannotBeMadeEndsWithZeroAndWritesNothing) {
    FakePlatform fake;
    platform::Platform platform = fake.AsPlatform();
    fake.dialogsFail = true;
    EXPECT_EQ(app::RunVelmoria(platform, nullptr), 0);
    EXPECT_EQ(fake.CallsNamed("DialogBoxParam"), std::vector<std::string>{"DialogBoxParam(201, null, 0)"});
    EXPECT_TRUE(fake.registry.empty());
    EXPECT_TRUE(fake.CallsNamed("RegCreateKey").empty());
    EXPECT_TRUE(fake.CallsNamed("RegSetValue").empty());
    EXPECT_TRUE(fake.messageBoxes.empty());
    EXPECT_EQ(app::Module().pendingHead, nullptr) << "no entry points into the destroyed bar";
}

}  // namespace
