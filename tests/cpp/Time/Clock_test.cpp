#include "Time/Clock.h"

#include <gtest/gtest.h>

#include "log_capture.h"

using math::Clock;

TEST(Clock, TicksAreNanosecondsOfAMonotonicBase) {
    EXPECT_EQ(Clock::TicksPerSec(), 1000000000u);
    const uint64_t before = Clock::Tick();
    Clock::Sleep(20);
    const uint64_t after = Clock::SystemTime();
    EXPECT_GE(after - before, 20000000u);
    EXPECT_LT(after - before, 5000000000u);
    const uint64_t cycles = Clock::Rdtsc();
    Clock::Sleep(1);
    EXPECT_GT(Clock::Rdtsc(), cycles);
}

TEST(Clock, TimeCountsFromLoadAndConstructionKeepsTheStart) {
    const uint64_t first = Clock::Time();
    EXPECT_GT(first, 0u);
    EXPECT_LT(first, 600 * Clock::TicksPerSec());  // the test binary was loaded moments ago
    Clock refreshed;
    Clock::InitClockData();
    EXPECT_GE(Clock::Time(), first);
}

TEST(Clock, FailedSleepIsLoggedAsInformation) {
    EXPECT_EQ(StdoutOf([] { Clock::Sleep(-5); }), "nanosleep returned -1! Reason: Invalid argument(22).\n");
}
