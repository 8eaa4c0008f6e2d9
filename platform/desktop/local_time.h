// The host's local time: the wall clock now, and moments of file times.
#pragma once

#include <cstdint>

namespace vellum::platform {

struct LocalTime {
    int32_t year = 0;
    int32_t month = 0;
    int32_t day = 0;
    int32_t hour = 0;
    int32_t minute = 0;
    int32_t second = 0;
    int32_t milliseconds = 0;
};

// The local time of a moment given as seconds and nanoseconds since the
// epoch; all zero when the host cannot convert it. A leap second shows as
// the last second of its minute.
LocalTime LocalTimeOf(int64_t seconds, int64_t nanoseconds);

// One reading of the wall clock: the seconds and the milliseconds come from
// the same reading, so a clock that is set or slewed can never make the
// time step back within a second.
LocalTime LocalNow();

} // namespace vellum::platform
