#pragma once

#include <cstdint>

namespace math {

// The tick clock on the monotonic time base; a tick is one nanosecond. All members are static:
// the start time is taken once, when the library is loaded.
class Clock {
public:
    Clock();  // refreshes the tick rate, keeps the start time

    static void InitClockData();
    static uint64_t Tick();
    static uint64_t SystemTime();
    static uint32_t TickU32();
    static uint64_t Time();  // ticks since the start time
    static uint64_t TicksPerSec();
    static uint64_t Rdtsc();  // the processor's time-stamp counter
    static void Sleep(int milliseconds);

    // Calendar fields are not provided: each returns 0.
    static int Year();
    static int Month();
    static int Day();
    static int Hour();
    static int Min();
    static int Sec();
};

}  // namespace math
