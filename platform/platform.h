#pragma once
// Everything the logic may ask of the operating system, one narrow
// interface per area. A Platform only bundles references; it owns nothing.
#include "platform/desktop.h"
#include "platform/gdi.h"
#include "platform/internet.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "platform/threads.h"
#include "platform/window_manager.h"

namespace platform {

struct Platform {
    WindowManager& windows;
    Gdi& gdi;
    Registry& registry;
    Threads& threads;
    Shell& shell;
    Internet& internet;
    Desktop& desktop;
};

}  // namespace platform
