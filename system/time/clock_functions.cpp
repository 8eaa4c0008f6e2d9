// Now, Today and TickCount: the clocks of the machine.
#include "system/natives.h"
#include "system/time/date_number.h"
#include "vm/interpreter.h"

#include <chrono>
#include <ctime>

namespace vellum::system {

namespace {

// The local time of one reading of the wall clock, milliseconds included:
// the seconds and the milliseconds come from the same reading, so a clock
// that is set or slewed can never make Now step back within a second.
CalendarTime LocalNow()
{
    const auto now = std::chrono::system_clock::now();
    const auto sinceEpoch = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count();
    std::time_t seconds = static_cast<std::time_t>(sinceEpoch / 1000);
    int64_t milliseconds = sinceEpoch % 1000;
    if (milliseconds < 0) {
        milliseconds += 1000;
        --seconds;
    }
    std::tm local{};
    localtime_r(&seconds, &local);
    CalendarTime time;
    time.year = local.tm_year + 1900;
    time.month = local.tm_mon + 1;
    time.day = local.tm_mday;
    time.hour = local.tm_hour;
    time.minute = local.tm_min;
    // A leap second shows as the last second of its minute.
    time.second = local.tm_sec < 60 ? local.tm_sec : 59;
    time.milliseconds = static_cast<int32_t>(milliseconds);
    return time;
}

} // namespace

uint32_t Now(Interpreter& ip)
{
    if (!ip.CheckArgs(0, -1)) return 0;
    ip.PushNumber(*DateNumberFromCalendar(LocalNow(), FieldCheck::lenient));
    return 1;
}

uint32_t Today(Interpreter& ip)
{
    if (!ip.CheckArgs(0, -1)) return 0;
    CalendarTime midnight;
    const CalendarTime now = LocalNow();
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
