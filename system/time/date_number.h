// Date numbers: days since 30 December 1899 with the time of day as the
// fraction, counted away from zero for days before it (-1.25 is
// 29 December 1899, 06:00). Every date and time the library hands to
// scripts or takes from them is one.
#pragma once

#include "platform/desktop/local_time.h"

#include <cstdint>
#include <optional>

namespace vellum::system {

struct CalendarTime {
    int32_t year = 1899;
    int32_t month = 12;
    int32_t day = 30;
    int32_t hour = 0;
    int32_t minute = 0;
    int32_t second = 0;
    int32_t milliseconds = 0;
    int32_t dayOfWeek = 6; // 0 Sunday .. 6 Saturday; ignored when converting to a number
};

enum class FieldCheck : uint8_t {
    // Every field must be valid (years 0 to 9999) or the conversion fails.
    checking,
    // Nothing is checked; a month outside 1 to 12 carries into the year and
    // days, hours, minutes, seconds and milliseconds carry into the next field.
    lenient,
};

// The fields of a host local time; the day of the week is left as it is.
CalendarTime CalendarFromLocalTime(const platform::LocalTime& time);

std::optional<double> DateNumberFromCalendar(const CalendarTime& time, FieldCheck check);

// Fails outside 1 January 100 .. 31 December 9999. Times round to the
// nearest millisecond, which may carry into the next day; a moment that
// rounds past either end of the range fails too.
std::optional<CalendarTime> CalendarFromDateNumber(double date);

} // namespace vellum::system
