#include "Clock.h"

#include <ctime>

namespace ks {

namespace {

// Microseconds on the real-time clock; the sub-microsecond part is dropped.
int64_t nowMicroseconds()
{
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return static_cast<int64_t>(now.tv_sec) * 1000000 + static_cast<int64_t>(now.tv_nsec) / 1000;
}

} // namespace

Clock::Clock() : previousTime(nowMicroseconds())
{}

int64_t Clock::delta()
{
    const int64_t now = nowMicroseconds();
    const int64_t elapsed = now - previousTime;
    previousTime = now;
    return elapsed;
}

int64_t Clock::split() const
{
    return nowMicroseconds() - previousTime;
}

} // namespace ks
