// Binding dialog objects to their windows, the message table search and the
// result convention.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/dialog_object.h"
#include "app/message_table.h"
#include "app/module_record.h"
#include "platform/constants.h"
#include "platform/fake/fake_platform.h"

namespace {

using platform::ProcResult;
using platform::WindowHandle;
using platform::fake::FakePlatform;

constexpr int kProbeTemplate = 301;
constexpr std::uint32_t kWmSetFont = 0x0030;
constexpr std::uint32_t kWmUser = 0x0400;

// A dialog whose table covers a direct-result message, an indirect one and
// a few commands; it records what reached it and with which hwnd().
class ProbeDialog final : public app::DialogObject {
public:
    explicit ProbeDialog(platform::Platform& platform) : app::DialogObject(platform, kProbeTemplate) {}

    bool HandleMessage(const app::Message& message, ProcResult& result, int table) override;
    void OnFinalMessage(WindowHandle window) override { finalWindow = window; ++finalCount; }

    ProcResult OnInit(const app::Message& m) {
        log.push_back("init");
        windowAtInit = hwnd();
        EXPECT_EQ(hwnd(), m.window);
        return 1;
    }
    ProcResult OnHitTest(const app::Message&) { log.push_back("hittest"); return platform::kHtRight; }
    ProcResult OnCtlColor(const app::Message&) { log.push_back("ctlcolor"); return 0x1234; }
    ProcResult OnFirst(const app::Message& m) { log.push_back("first " + std::to_string(m.CommandId())); return 7; }
    ProcResult OnRange(const app::Message& m) { log.push_back("range " + std::to_string(m.CommandId())); return 0; }

    std::vector<std::string> log;
    WindowHandle windowAtInit = nullptr;
    WindowHandle finalWindow = nullptr;
    int finalCount = 0;

private:
    static const app::MessageRow<ProbeDialog> kTable[];
};

const app::MessageRow<ProbeDialog> ProbeDialog::kTable[] = {
    {platform::kWmInitDialog, app::kNoCommand, &ProbeDialog::OnInit},
    {platform::kWmNcHitTest, app::kNoCommand, &ProbeDialog::OnHitTest},
    {platform::kWmCtlColorStatic, app::kNoCommand, &ProbeDialog::OnCtlColor},
    {platform::kWmCommand, app::Command(500), &ProbeDialog::OnFirst},
    {platform::kWmCommand, app::Commands(500, 510), &ProbeDialog::OnRange},  // 500 never gets here
};

bool ProbeDialog::HandleMessage(const app::Message& message, ProcResult& result, int table) {
    if (table != 0) return false;
    return app::DispatchMessageTable(kTable, *this, message, result);
}

class DialogFramework : public ::testing::Test {
protected:
    void SetUp() override { app::InitModule(platform_, nullptr); }

    FakePlatform fake;
    platform::Platform platform_ = fake.AsPlatform();
};

TEST_F(DialogFramework, BindsAtTheFirstMessageAndInstallsTheObjectProcedure) {
    ProbeDialog dialog(platform_);
    WindowHandle seen = nullptr;
    fake.modalScripts[kProbeTemplate] = [&](FakePlatform& f, WindowHandle w) {
        seen = w;
        // WM_SETFONT came first and bound the object; WM_INITDIALOG followed.
        EXPECT_EQ(dialog.hwnd(), w);
        EXPECT_EQ(f.IndexOf("SetWindowLong(w1, GWL_USERDATA, object)") + 1,
                  f.IndexOf("SetWindowLong(w1, DWL_DLGPROC)"));
        EXPECT_EQ(f.window(w).proc, dialog.DialogProcedure());
        f.EndDialog(w, 42);
    };
    EXPECT_EQ(dialog.RunModal(nullptr, 0), 42);
    EXPECT_EQ(dialog.log, std::vector<std::string>{"init"});
    EXPECT_EQ(dialog.windowAtInit, seen);
    EXPECT_EQ(app::Module().pendingHead, nullptr) << "the pending entry is taken out at binding";
}

TEST_F(DialogFramework, BindsWhenWmInitDialogIsTheFirstMessage) {
    fake.sendSetFontFirst = false;
    ProbeDialog dialog(platform_);
    fake.modalScripts[kProbeTemplate] = [&](FakePlatform& f, WindowHandle w) { f.EndDialog(w, 0); };
    dialog.RunModal(nullptr, 0);
    EXPECT_EQ(dialog.log, std::vector<std::string>{"init"});
    EXPECT_NE(dialog.windowAtInit, nullptr);
}

TEST_F(DialogFramework, ResultConvention) {
    ProbeDialog dialog(platform_);
    struct Case {
        std::uint32_t message;
        platform::MessageParam wParam;
        ProcResult returned;     // what the dialog procedure returns
        std::intptr_t msgResult;  // what DWL_MSGRESULT then holds (-99: untouched)
    };
    const Case cases[] = {
        {platform::kWmNcHitTest, 0, 1, platform::kHtRight},             // handled, indirect
        {platform::kWmCtlColorStatic, 0, 0x1234, -99},                 // handled, direct set
        {platform::kWmCommand, 500, 1, 7},                             // first matching row wins
        {platform::kWmCommand, (0x0300u << 16) | 501u, 1, 0},          // notification code ignored
        {platform::kWmCommand, 511, 0, -99},                           // no row: default processing
        {kWmUser, 0, 0, -99},                                          // no row
    };
    fake.modalScripts[kProbeTemplate] = [&](FakePlatform& f, WindowHandle w) {
        for (const Case& c : cases) {
            f.window(w).msgResult = -99;
            EXPECT_EQ(f.Send(w, c.message, c.wParam, 0), c.returned) << "message " << c.message << " " << c.wParam;
            EXPECT_EQ(f.window(w).msgResult, c.msgResult) << "message " << c.message << " " << c.wParam;
        }
        f.EndDialog(w, 0);
    };
    dialog.RunModal(nullptr, 0);
    const std::vector<std::string> expected = {"init", "hittest", "ctlcolor", "first 500", "range 501"};
    EXPECT_EQ(dialog.log, expected);
}

TEST(ReturnsResultDirectly, IsExactlyTheDirectSet) {
    const std::vector<std::uint32_t> direct = {46, 47, 55, 57, 272, 306, 307, 308, 309, 310, 311, 312};
    for (std::uint32_t message = 0; message < 0x1000; ++message) {
        const bool expected = std::find(direct.begin(), direct.end(), message) != direct.end();
        EXPECT_EQ(app::ReturnsResultDirectly(message), expected) << message;
    }
}

TEST_F(DialogFramework, NcDestroyForgetsTheWindowAndNotifiesOnce) {
    ProbeDialog dialog(platform_);
    WindowHandle window = nullptr;
    fake.modalScripts[kProbeTemplate] = [&](FakePlatform& f, WindowHandle w) {
        window = w;
        f.EndDialog(w, 0);
    };
    dialog.RunModal(nullptr, 0);
    EXPECT_EQ(dialog.hwnd(), nullptr);
    EXPECT_EQ(dialog.finalWindow, window);
    EXPECT_EQ(dialog.finalCount, 1);
    EXPECT_EQ(fake.Send(window, platform::kWmNcHitTest), 0) << "a late message finds no object";
    EXPECT_EQ(dialog.log.back(), "init");
}

TEST_F(DialogFramework, PendingCreationsAreMatchedByThread) {
    // Dialogs asked for on threads 1 and 2, both still waiting for their
    // windows: thread 1's first message must bind thread 1's object although
    // thread 2's entry is newer.
    fake.deferCreation = true;
    ProbeDialog fromThreadOne(platform_);
    ProbeDialog fromThreadTwo(platform_);
    WindowHandle first = nullptr;
    WindowHandle second = nullptr;
    fake.whileDeferred = [&](FakePlatform& f) {
        if (f.deferredDialogs.size() == 1) {
            f.currentThreadId = 2;  // thread 1 waits in its call; thread 2 asks now
            fromThreadTwo.RunModal(nullptr, 0);
            return;
        }
        f.currentThreadId = 1;
        first = f.CreateDeferredDialog(0);
        EXPECT_EQ(fromThreadOne.hwnd(), first);
        EXPECT_EQ(fromThreadTwo.hwnd(), nullptr);
        f.currentThreadId = 2;
        second = f.CreateDeferredDialog(1);
        EXPECT_EQ(fromThreadTwo.hwnd(), second);
        EXPECT_EQ(app::Module().pendingHead, nullptr);
    };
    fake.currentThreadId = 1;
    fromThreadOne.RunModal(nullptr, 0);
    ASSERT_EQ(fake.deferredDialogs.size(), 2u);
    EXPECT_NE(first, nullptr);
    EXPECT_NE(second, nullptr);
}

TEST_F(DialogFramework, WindowOfAnotherThreadFindsNoObject) {
    fake.deferCreation = true;
    ProbeDialog dialog(platform_);
    WindowHandle stray = nullptr;
    fake.whileDeferred = [&](FakePlatform& f) {
        f.currentThreadId = 3;
        stray = f.CreateDeferredDialog(0);
        EXPECT_EQ(dialog.hwnd(), nullptr);
        EXPECT_EQ(f.window(stray).userData, 0);
        EXPECT_NE(app::Module().pendingHead, nullptr) << "the entry stays for its own thread";
        f.currentThreadId = 1;
        f.CreateDeferredDialog(0);
        EXPECT_NE(dialog.hwnd(), nullptr);
    };
    fake.currentThreadId = 1;
    dialog.RunModal(nullptr, 0);
    EXPECT_NE(stray, nullptr);
}

// DialogBoxParam may return without ever having made a window (a missing
// template, no memory): the object's entry must not stay in the list, where
// the next window of the thread would bind to an object that is gone.
TEST_F(DialogFramework, FailedCreationLeavesNoPendingEntry) {
    struct Case {
        const char* name;
        bool fails;     // no window, -1
        bool deferred;  // no window yet, 0
    };
    const Case cases[] = {{"creation failed", true, false}, {"window never came", false, true}};
    for (const Case& c : cases) {
        fake.dialogsFail = c.fails;
        fake.deferCreation = c.deferred;
        {
            ProbeDialog gone(platform_);
            EXPECT_EQ(gone.RunModal(nullptr, 0), c.fails ? -1 : 0) << c.name;
            EXPECT_EQ(gone.hwnd(), nullptr) << c.name;
            EXPECT_EQ(app::Module().pendingHead, nullptr) << c.name;
        }
        // The next dialog of the thread binds to itself, not to the dead one.
        fake.dialogsFail = false;
        fake.deferCreation = false;
        ProbeDialog next(platform_);
        fake.modalScripts[kProbeTemplate] = [&](FakePlatform& f, WindowHandle w) {
            EXPECT_EQ(next.hwnd(), w) << c.name;
            f.EndDialog(w, 0);
        };
        next.RunModal(nullptr, 0);
        EXPECT_EQ(next.log, std::vector<std::string>{"init"}) << c.name;
        EXPECT_EQ(app::Module().pendingHead, nullptr) << c.name;
    }
}

TEST_F(DialogFramework, EntriesOfOtherDialogsStayWhenOneIsWithdrawn) {
    // Thread 2 still waits for its window when thread 1's call fails.
    fake.deferCreation = true;
    ProbeDialog waiting(platform_);
    ProbeDialog failing(platform_);
    fake.whileDeferred = [&](FakePlatform& f) {
        f.deferCreation = false;
        f.dialogsFail = true;
        f.currentThreadId = 1;
        failing.RunModal(nullptr, 0);
        ASSERT_NE(app::Module().pendingHead, nullptr);
        EXPECT_EQ(app::Module().pendingHead->object, &waiting);
        EXPECT_EQ(app::Module().pendingHead->next, nullptr);
        f.dialogsFail = false;
        f.currentThreadId = 2;
        f.CreateDeferredDialog(0);
        EXPECT_NE(waiting.hwnd(), nullptr);
    };
    fake.currentThreadId = 2;
    waiting.RunModal(nullptr, 0);
    EXPECT_EQ(app::Module().pendingHead, nullptr);
}

}  // namespace
