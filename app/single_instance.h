#pragma once
// One bar per desktop: a running bar is recognised by its window title.
#include "platform/window_manager.h"

namespace app {

inline constexpr const char* kRunningText = "Velmoria is already running.";
inline constexpr const char* kRunningCaption = "Velmoria";

// True when a top-level window titled exactly "VELMORIA" exists, and also
// when the enumeration fails: then a bar is assumed to be running.
bool TickerAlreadyRunning(platform::WindowManager& windows);

}  // namespace app
