#pragma once
// A modal dialog as a C++ object. The object is bound to its window at the
// window's first message; from then on every message goes through the
// object's message table, and handler results reach the platform by one
// fixed convention.
#include <cstdint>

#include "app/message.h"
#include "app/module_record.h"
#include "platform/platform.h"

namespace app {

// Messages whose handler result is the dialog procedure's return value;
// every other handled message returns its result through DWL_MSGRESULT.
bool ReturnsResultDirectly(std::uint32_t message);

class DialogObject {
public:
    DialogObject(platform::Platform& platform, int templateId);
    virtual ~DialogObject();
    DialogObject(const DialogObject&) = delete;
    DialogObject& operator=(const DialogObject&) = delete;

    // The message table. Only table 0 exists.
    virtual bool HandleMessage(const Message& message, platform::ProcResult& result, int table) = 0;
    // The procedure the start procedure installs for the window.
    virtual platform::DialogProc DialogProcedure() const;
    // Called once after WM_NCDESTROY with the handle the object had.
    virtual void OnFinalMessage(platform::WindowHandle window);

    // Runs the dialog from its template until it ends.
    platform::ProcResult RunModal(platform::WindowHandle owner, platform::LongParam initialParam);

    platform::WindowHandle hwnd() const { return hwnd_; }
    int templateId() const { return templateId_; }

protected:
    platform::Platform& platform_;

private:
    static platform::ProcResult VELMORIA_CALLBACK StartProcedure(platform::WindowHandle window, std::uint32_t message,
                                                                 platform::MessageParam wParam,
                                                                 platform::LongParam lParam);
    static platform::ProcResult VELMORIA_CALLBACK ObjectProcedure(platform::WindowHandle window, std::uint32_t message,
                                                                  platform::MessageParam wParam,
                                                                  platform::LongParam lParam);
    static DialogObject* TakePendingCreation(std::uint32_t threadId);
    // Takes this object's entry out of the pending-creation list, if the
    // window's first message has not already done so.
    void WithdrawPendingCreation();
    platform::ProcResult Route(const Message& message);

    const int templateId_;
    platform::WindowHandle hwnd_ = nullptr;
    PendingCreation pending_;
};

}  // namespace app
