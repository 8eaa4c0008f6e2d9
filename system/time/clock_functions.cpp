// Now, Today and TickCount: the clocks of the machine.
#include "engine/vm/interpreter.h"
#include "system/natives.h"
#include "system/time/date_number.h"

#include <chrono>

namespace vellum::system {

uint32_t Now(Interpreter& ip)
{
    if (!ip.CheckArgs(0, -1)) return 0;
    ip.PushNumber(*DateNumberFromCalendar(CalendarFromLocalTime(platform::LocalNow()), FieldCheck::lenient));
    return 1;
}

uint32_t Today(Interpreter& ip)
{
    if (!ip.CheckArgs(0, -1)) return 0;
    CalendarTime midnight;
    const platform::LocalTime now = platform::LocalNow();
    midnight.year = now.year;
    midnight.month = now.month;
    midnight.day = now.day;
    const auto date = DateNumberFromCalendar(midnight, FieldCheck::checking);
    if (!date) return 0;
    ip.PushNumber(*date);
    return 1;
}

// Milliseconds of the monotonic clock, wrapping at 2^32 like the device's
// tick count, so differences of two readings stay right across the wrap.
uint32_t TickCount(Interpreter& ip)
{
    if (!ip.CheckArgs(0, -1)) return 0;
    const auto elapsed = std::chrono::steady_clock::now().time_since_epoch();
    const auto milliseconds = std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count();
    ip.PushNumber(static_cast<uint32_t>(milliseconds));
    return 1;
}

} // namespace vellum::system
