#pragma once

#include <cstdint>
#include <functional>

namespace framework {

// The framework's yield: runs pending work of the event loop, then returns.
void RuntimeBackgroundTask();

// The GUI layer installs the event-loop step here; without one the yield does nothing.
void SetYieldHook(std::function<void()> hook);

// How many yields have run since start-up (tests read it to count yields).
uint64_t YieldCount();

} // namespace framework
