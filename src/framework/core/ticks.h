#pragma once

#include <cstdint>
#include <functional>

namespace framework {

// Sixtieths of a second since start-up, wrapping as a 32-bit value.
int32_t Ticks();

// Test seam: replaces the clock behind Ticks (a raw wrapping count); nullptr restores the real
// one.
void SetTickSource(std::function<uint32_t()> source);

// True when the last read of Ticks gave the value of the read before it, i.e. the counter is
// polled faster than it moves: the yield may then sleep until the next event or tick. Clears the
// mark.
bool ConsumeTickPollIdle();

// True when tick value a comes before b, also across the wrap (for spans under 2^31 ticks).
bool TicksBefore(int32_t a, int32_t b);

} // namespace framework
