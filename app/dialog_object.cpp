#include "app/dialog_object.h"

#include "platform/constants.h"

namespace app {

namespace {

constexpr int kOnlyTable = 0;

}  // namespace

bool ReturnsResultDirectly(std::uint32_t message) {
    switch (message) {
    case platform::kWmVKeyToItem:
    case platform::kWmCharToItem:
    case platform::kWmQueryDragIcon:
    case platform::kWmCompareItem:
    case platform::kWmInitDialog:
        return true;
    default:
        return message >= platform::kWmCtlColorMsgBox && message <= platform::kWmCtlColorStatic;
    }
}

DialogObject::DialogObject(platform::Platform& platform, int templateId)
    : platform_(platform), templateId_(templateId) {}

DialogObject::~DialogObject() = default;

platform::DialogProc DialogObject::DialogProcedure() const { return &DialogObject::ObjectProcedure; }

void DialogObject::OnFinalMessage(platform::WindowHandle) {}

platform::ProcResult DialogObject::RunModal(platform::WindowHandle owner, platform::LongParam initialParam) {
    ModuleRecord& module = Module();
    {
        platform::CriticalSectionLock lock(module.creationLock);
        pending_.object = this;
        pending_.threadId = platform_.threads.GetCurrentThreadId();
        pending_.next = module.pendingHead;
        module.pendingHead = &pending_;
    }
    // However the call ends, this object's entry must not stay behind: the
    // object may die right after (a stack-allocated dialog does), and the
    // next window of this thread would then bind to freed memory.
    struct Withdraw {
        DialogObject& object;
        ~Withdraw() { object.WithdrawPendingCreation(); }
    } withdraw{*this};
    return platform_.windows.DialogBoxParam(module.resourceInstance, templateId_, owner, &DialogObject::StartProcedure,
                                            initialParam);
}

void DialogObject::WithdrawPendingCreation() {
    ModuleRecord& module = Module();
    platform::CriticalSectionLock lock(module.creationLock);
    for (PendingCreation** link = &module.pendingHead; *link != nullptr; link = &(*link)->next) {
        if (*link == &pending_) {
            *link = pending_.next;
            pending_.next = nullptr;
            return;
        }
    }
}

DialogObject* DialogObject::TakePendingCreation(std::uint32_t threadId) {
    ModuleRecord& module = Module();
    platform::CriticalSectionLock lock(module.creationLock);
    for (PendingCreation** link = &module.pendingHead; *link != nullptr; link = &(*link)->next) {
        PendingCreation* entry = *link;
        if (entry->threadId == threadId) {
            *link = entry->next;
            entry->next = nullptr;
            return entry->object;
        }
    }
    return nullptr;
}

platform::ProcResult VELMORIA_CALLBACK DialogObject::StartProcedure(platform::WindowHandle window,
                                                                    std::uint32_t message,
                                                                    platform::MessageParam wParam,
                                                                    platform::LongParam lParam) {
    platform::Platform& platform = *Module().platform;
    DialogObject* object = TakePendingCreation(platform.threads.GetCurrentThreadId());
    if (object == nullptr) return 0;  // a window we did not ask for: default processing

    object->hwnd_ = window;
    platform.windows.SetWindowLong(window, platform::kGwlUserData, reinterpret_cast<std::intptr_t>(object));
    const platform::DialogProc procedure = object->DialogProcedure();
    platform.windows.SetWindowLong(window, platform::kDwlDlgProc, reinterpret_cast<std::intptr_t>(procedure));
    return procedure(window, message, wParam, lParam);
}

platform::ProcResult VELMORIA_CALLBACK DialogObject::ObjectProcedure(platform::WindowHandle window,
                                                                     std::uint32_t message,
                                                                     platform::MessageParam wParam,
                                                                     platform::LongParam lParam) {
    platform::Platform& platform = *Module().platform;
    auto* object = reinterpret_cast<DialogObject*>(platform.windows.GetWindowLong(window, platform::kGwlUserData));
    if (object == nullptr) return 0;
    try {
        return object->Route(Message{window, message, wParam, lParam});
    } catch (...) {
        // Nothing may unwind into the window manager; a handler that ran
        // out of memory leaves the message to default processing.
        return 0;
    }
}

platform::ProcResult DialogObject::Route(const Message& message) {
    platform::ProcResult result = 0;
    if (HandleMessage(message, result, kOnlyTable)) {
        if (ReturnsResultDirectly(message.id)) return result;
        platform_.windows.SetWindowLong(message.window, platform::kDwlMsgResult, result);
        return 1;
    }
    if (message.id == platform::kWmNcDestroy) {
        const platform::WindowHandle old = hwnd_;
        hwnd_ = nullptr;
        // Later messages to the dead window must not find this object.
        platform_.windows.SetWindowLong(message.window, platform::kGwlUserData, 0);
        OnFinalMessage(old);
    }
    return 0;
}

}  // namespace app
