#pragma once
// `velmoria-service --stop`: asks the running gateway to stop, as the
// installer does, and waits for its process to end.
#include <chrono>

namespace service {

enum class StopOutcome { Stopped, NoneRunning, StillRunning };

StopOutcome StopRunningInstance(std::chrono::milliseconds patience);

}  // namespace service
