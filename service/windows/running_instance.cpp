#include "service/windows/running_instance.h"

#include <windows.h>

#include "service/windows/instance_names.h"
#include "service/windows/owned_handle.h"

namespace service {

StopOutcome StopRunningInstance(std::chrono::milliseconds patience) {
    const HWND window = ::FindWindowW(kServiceWindowClass, nullptr);
    if (window == nullptr) return StopOutcome::NoneRunning;
    DWORD processId = 0;
    ::GetWindowThreadProcessId(window, &processId);
    // Opened before asking, so that the wait is for that very process.
    OwnedHandle process(::OpenProcess(SYNCHRONIZE, FALSE, processId));
    ::PostMessageW(window, WM_CLOSE, 0, 0);
    if (!process) {
        // Not ours to wait on: watch its window go instead.
        const auto deadline = std::chrono::steady_clock::now() + patience;
        constexpr DWORD kPollMs = 100;
        while (::IsWindow(window)) {
            if (std::chrono::steady_clock::now() >= deadline) return StopOutcome::StillRunning;
            ::Sleep(kPollMs);
        }
        return StopOutcome::Stopped;
    }
    const DWORD waited = ::WaitForSingleObject(process.get(), static_cast<DWORD>(patience.count()));
    return waited == WAIT_OBJECT_0 ? StopOutcome::Stopped : StopOutcome::StillRunning;
}

}  // namespace service
