#pragma once
// The process's life from entry to exit.
#include "platform/platform.h"

namespace app {

// Refuses a second bar, otherwise runs the ticker window until Exit.
// Always returns 0.
int RunVelmoria(platform::Platform& platform, platform::InstanceHandle instance);

}  // namespace app
