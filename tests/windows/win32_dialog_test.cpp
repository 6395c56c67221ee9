// The dialog framework on the real window manager: binding at the first
// message, the message table and the result convention.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/dialog_object.h"
#include "app/message_table.h"
#include "app/module_record.h"
#include "platform/win32/win32_api.h"
#include "platform/win32/win32_platform.h"

namespace {

using platform::ProcResult;
using platform::WindowHandle;

constexpr int kBarTemplate = 201;
constexpr std::uint32_t kProbeStep = WM_APP + 1;
constexpr ProcResult kProbeCtlColor = 0x4321;

class ProbeDialog final : public app::DialogObject {
public:
    explicit ProbeDialog(platform::Platform& platform) : app::DialogObject(platform, kBarTemplate) {}
    bool HandleMessage(const app::Message& message, ProcResult& result, int table) override;
    void OnFinalMessage(WindowHandle window) override { finalWindow = window; }

    ProcResult OnInit(const app::Message& m) {
        windowAtInit = hwnd();
        sameAsMessage = hwnd() == m.window;
        ::PostMessageA(reinterpret_cast<HWND>(m.window), kProbeStep, 0, 0);
        return TRUE;
    }
    ProcResult OnHitTest(const app::Message&) { return HTRIGHT; }
    ProcResult OnCtlColor(const app::Message&) { return kProbeCtlColor; }
    ProcResult OnStep(const app::Message& m) {
        const HWND self = reinterpret_cast<HWND>(m.window);
        hitTest = ::SendMessageA(self, WM_NCHITTEST, 0, 0);
        ctlColor = ::SendMessageA(self, WM_CTLCOLORSTATIC, 0, 0);
        closeHandled = ::SendMessageA(self, WM_COMMAND, IDCANCEL, 0) != 0;
        ::EndDialog(self, 42);
        return 0;
    }

    WindowHandle windowAtInit = nullptr;
    WindowHandle finalWindow = nullptr;
    bool sameAsMessage = false;
    LRESULT hitTest = 0;
    LRESULT ctlColor = 0;
    bool closeHandled = true;

private:
    static const app::MessageRow<ProbeDialog> kTable[];
};

const app::MessageRow<ProbeDialog> ProbeDialog::kTable[] = {
    {WM_INITDIALOG, app::kNoCommand, &ProbeDialog::OnInit},
    {WM_NCHITTEST, app::kNoCommand, &ProbeDialog::OnHitTest},
    {WM_CTLCOLORSTATIC, app::kNoCommand, &ProbeDialog::OnCtlColor},
    {kProbeStep, app::kNoCommand, &ProbeDialog::OnStep},
};

bool ProbeDialog::HandleMessage(const app::Message& message, ProcResult& result, int table) {
    return table == 0 && app::DispatchMessageTable(kTable, *this, message, result);
}

TEST(Win32Dialog, RunsAModalDialogThroughTheObjectsMessageTable) {
    platform::win32::Win32Platform win32;
    platform::Platform platform = win32.AsPlatform();
    app::InitModule(platform, reinterpret_cast<platform::InstanceHandle>(::GetModuleHandleA(nullptr)));

    ProbeDialog dialog(platform);
    EXPECT_EQ(dialog.RunModal(nullptr, 0), 42);
    EXPECT_NE(dialog.windowAtInit, nullptr);
    EXPECT_TRUE(dialog.sameAsMessage);
    EXPECT_EQ(dialog.hitTest, HTRIGHT) << "an indirect result travels through DWL_MSGRESULT";
    EXPECT_EQ(dialog.ctlColor, kProbeCtlColor) << "a direct-set result is the procedure's return value";
    EXPECT_FALSE(dialog.closeHandled) << "an unmatched command gets the default processing";
    EXPECT_EQ(dialog.finalWindow, dialog.windowAtInit);
    EXPECT_EQ(dialog.hwnd(), nullptr);
    EXPECT_EQ(app::Module().pendingHead, nullptr);
}

}  // namespace
