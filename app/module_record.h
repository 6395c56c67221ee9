#pragma once
// The process-wide record of the dialog framework: the module instance and
// the list of dialogs whose window is being created.
#include <cstdint>

#include "platform/platform.h"

namespace app {

class DialogObject;

// One entry of the pending-creation list. It lives inside its dialog object,
// so registering a creation allocates nothing.
struct PendingCreation {
    DialogObject* object = nullptr;
    std::uint32_t threadId = 0;
    PendingCreation* next = nullptr;
};

struct ModuleRecord {
    platform::Platform* platform = nullptr;
    platform::InstanceHandle instance = nullptr;
    platform::InstanceHandle resourceInstance = nullptr;
    PendingCreation* pendingHead = nullptr;  // newest first
    platform::CriticalSection creationLock;
};

// The one record of the process. Created on first use and never torn down,
// so dialog callbacks that arrive during process exit still find it.
ModuleRecord& Module();

// Initialises the record first thing at entry (and afresh in each test).
void InitModule(platform::Platform& platform, platform::InstanceHandle instance);

}  // namespace app
