#include "framework/core/ticks.h"

#include <chrono>
#include <memory>
#include <utility>

namespace framework {

namespace {

using Clock = std::chrono::steady_clock;

Clock::time_point StartTime() {
    static const Clock::time_point start = Clock::now();
    return start;
}

// Fixes the start at program start-up rather than at the first call to Ticks.
[[maybe_unused]] const Clock::time_point kStartedAt = StartTime();

uint32_t ClockTicks() {
    const int64_t ns =
        std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now() - StartTime()).count();
    // Whole seconds and the rest apart, so the product cannot overflow however long we run.
    constexpr int64_t kNsPerSecond = 1'000'000'000;
    const uint64_t ticks = static_cast<uint64_t>(ns / kNsPerSecond) * 60U +
                           static_cast<uint64_t>((ns % kNsPerSecond) * 60 / kNsPerSecond);
    return static_cast<uint32_t>(ticks);
}

std::shared_ptr<std::function<uint32_t()>>& TickSource() {
    static std::shared_ptr<std::function<uint32_t()>> source;
    return source;
}

bool sameAsLastRead = false;
uint32_t lastRead = 0;

} // namespace

bool ConsumeTickPollIdle() {
    const bool idle = sameAsLastRead;
    sameAsLastRead = false;
    return idle;
}

int32_t Ticks() {
    // Shared, so a source that replaces itself while it runs stays alive until it returns, and
    // a source that keeps state (a test's scripted clock) keeps it between reads.
    const auto source = TickSource();
    const uint32_t raw = source ? (*source)() : ClockTicks();
    sameAsLastRead = raw == lastRead;
    lastRead = raw;
    // Modular since C++20: the bit pattern is kept.
    return static_cast<int32_t>(raw);
}

void SetTickSource(std::function<uint32_t()> source) {
    TickSource() = source ? std::make_shared<std::function<uint32_t()>>(std::move(source))
                          : nullptr;
}

bool TicksBefore(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b)) < 0;
}

} // namespace framework
