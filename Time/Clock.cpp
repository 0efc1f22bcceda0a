#include "Time/Clock.h"

#include <x86intrin.h>

#include <cerrno>
#include <cstring>
#include <ctime>

#include "Math/MathLog.h"

namespace math {

namespace {

// The monotonic time base counts nanoseconds.
constexpr uint64_t kNanosecondsPerSecond = 1000000000ull;

uint64_t appStartTime = 0;
uint64_t ticksPerSecond = 0;

// The start time is the moment the library is loaded.
const Clock clockAtLoad;

}  // namespace

Clock::Clock() { InitClockData(); }

void Clock::InitClockData() {
    if (appStartTime == 0) appStartTime = Tick();
    ticksPerSecond = kNanosecondsPerSecond;
}

uint64_t Clock::Tick() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<uint64_t>(now.tv_sec) * kNanosecondsPerSecond +
           static_cast<uint64_t>(now.tv_nsec);
}

uint64_t Clock::SystemTime() { return Tick(); }

uint32_t Clock::TickU32() { return static_cast<uint32_t>(Tick()); }

uint64_t Clock::Time() { return Tick() - appStartTime; }

uint64_t Clock::TicksPerSec() { return ticksPerSecond; }

uint64_t Clock::Rdtsc() { return __rdtsc(); }

void Clock::Sleep(int milliseconds) {
    timespec duration;
    duration.tv_sec = milliseconds / 1000;
    duration.tv_nsec = (milliseconds % 1000) * 1000000L;
    if (nanosleep(&duration, nullptr) == -1) {
        const int error = errno;
        PrintToConsoleVariadic(LogInfo, "nanosleep returned -1! Reason: %s(%d).", strerror(error),
                               error);
    }
}

int Clock::Year() { return 0; }
int Clock::Month() { return 0; }
int Clock::Day() { return 0; }
int Clock::Hour() { return 0; }
int Clock::Min() { return 0; }
int Clock::Sec() { return 0; }

}  // namespace math
