#include "framework/core/yield.h"

#include <atomic>
#include <utility>

namespace framework {

namespace {

std::atomic<uint64_t> yieldCount{0};

std::function<void()> &YieldHook() {
    static std::function<void()> hook;
    return hook;
}

} // namespace

void RuntimeBackgroundTask() {
    yieldCount.fetch_add(1, std::memory_order_relaxed);
    // A copy, so a hook that replaces itself while it runs is not destroyed under its own feet.
    const std::function<void()> hook = YieldHook();
    if (hook) {
        hook();
    }
}

void SetYieldHook(std::function<void()> hook) {
    YieldHook() = std::move(hook);
}

uint64_t YieldCount() {
    return yieldCount.load(std::memory_order_relaxed);
}

} // namespace framework
