#pragma once

#include <cstdint>

namespace ks {

/// Clock: a microsecond stopwatch on the real-time clock, used to pace the game loop.
class Clock
{
public:
    /// Starts the measurement now.
    Clock();

    /// Microseconds since construction or the last delta(); restarts the measurement.
    int64_t delta();

    /// Microseconds since construction or the last delta(); changes nothing.
    int64_t split() const;

private:
    int64_t previousTime; ///< microseconds
};

} // namespace ks
