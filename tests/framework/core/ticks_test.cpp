#include "framework/core/ticks.h"
#include "framework/core/yield.h"

#include <gtest/gtest.h>

#include <chrono>
#include <limits>
#include <thread>
#include <vector>

using namespace framework;

namespace {
constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kMin = std::numeric_limits<int32_t>::min();

// Leaves the real clock and no yield hook for the next test.
class Seams : public ::testing::Test {
protected:
    void TearDown() override {
        SetTickSource(nullptr);
        SetYieldHook(nullptr);
    }
};
} // namespace

TEST(TicksBefore, OrdersTickValuesAlsoAcrossTheWrap) {
    struct Case {
        int32_t a, b;
        bool want;
    };
    const std::vector<Case> cases = {
        {1, 2, true},   {2, 1, false},      {5, 5, false},       {-1, 0, true},
        {0, -1, false}, {kMax, kMin, true}, {kMin, kMax, false}, {kMax - 10, kMin + 10, true}};
    for (const Case &c : cases) {
        EXPECT_EQ(TicksBefore(c.a, c.b), c.want) << c.a << " before " << c.b;
    }
}

TEST_F(Seams, TicksGiveTheSourceBitPatternAndNilRestoresTheRunningClock) {
    uint32_t raw = 0;
    SetTickSource([&raw] { return raw; });
    for (const auto &[source, want] : std::vector<std::pair<uint32_t, int32_t>>{
             {60, 60}, {0x80000000, kMin}, {0xFFFFFFFF, -1}}) {
        raw = source;
        EXPECT_EQ(Ticks(), want);
    }
    SetTickSource(nullptr);
    const int32_t before = Ticks();
    // 50 ms is three sixtieths; the sleep lasts at least that long.
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_GE(static_cast<uint32_t>(Ticks()) - static_cast<uint32_t>(before), 2U);
}

TEST_F(Seams, EachYieldCountsAndRunsTheHookWhichMayRemoveItself) {
    const uint64_t start = YieldCount();
    int runs = 0;
    const std::vector<int> big(1000, 1); // a copy in the hook, freed when the hook goes
    SetYieldHook([&runs, big] {
        runs += big.back();
        if (runs == 2) {
            SetYieldHook(nullptr);
        }
    });
    for (int i = 0; i < 3; ++i) {
        RuntimeBackgroundTask();
    }
    EXPECT_EQ(runs, 2);
    EXPECT_EQ(YieldCount(), start + 3);
}
