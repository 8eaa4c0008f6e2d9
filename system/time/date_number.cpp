#include "system/time/date_number.h"

#include <cmath>

namespace vellum::system {

namespace {

// Days from 1 March of year 0 arithmetic (the proleptic Gregorian calendar),
// so that leap days fall at the end of each counted year.
int64_t DaysFromCivil(int64_t year, int64_t month, int64_t day)
{
    year -= month <= 2 ? 1 : 0;
    const int64_t era = (year >= 0 ? year : year - 399) / 400;
    const int64_t yearOfEra = year - era * 400;
    const int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra;
}

void CivilFromDays(int64_t days, CalendarTime& out)
{
    const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const int64_t dayOfEra = days - era * 146097;
    const int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const int64_t monthIndex = (5 * dayOfYear + 2) / 153;
    out.day = static_cast<int32_t>(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
    out.month = static_cast<int32_t>(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
    out.year = static_cast<int32_t>(yearOfEra + era * 400 + (out.month <= 2 ? 1 : 0));
}

const int64_t kDayZero = DaysFromCivil(1899, 12, 30);

bool IsLeapYear(int32_t year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int32_t DaysInMonth(int32_t year, int32_t month)
{
    static constexpr int32_t kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

bool FieldsAreValid(const CalendarTime& t)
{
    return t.year >= 0 && t.year <= 9999 && t.month >= 1 && t.month <= 12 && t.day >= 1 &&
           t.day <= DaysInMonth(t.year, t.month) && t.hour >= 0 && t.hour < 24 && t.minute >= 0 && t.minute < 60 &&
           t.second >= 0 && t.second < 60 && t.milliseconds >= 0 && t.milliseconds <= 999;
}

constexpr int64_t kMillisecondsPerDay = 86400000;
constexpr double kHalfMillisecond = 0.5 / 86400000.0;
constexpr double kFirstDay = -657434; // 1 January 100
constexpr double kLastDay = 2958465;  // 31 December 9999

} // namespace

CalendarTime CalendarFromLocalTime(const platform::LocalTime& time)
{
    CalendarTime calendar;
    calendar.year = time.year;
    calendar.month = time.month;
    calendar.day = time.day;
    calendar.hour = time.hour;
    calendar.minute = time.minute;
    calendar.second = time.second;
    calendar.milliseconds = time.milliseconds;
    return calendar;
}

std::optional<double> DateNumberFromCalendar(const CalendarTime& time, FieldCheck check)
{
    if (check == FieldCheck::checking && !FieldsAreValid(time)) return std::nullopt;
    int64_t year = time.year;
    int64_t month = time.month;
    // The carry truncates toward zero; a month still below 1 after it
    // borrows one more year so that the day count stays defined.
    year += (month - 1) / 12;
    month -= (month - 1) / 12 * 12;
    if (month < 1) {
        month += 12;
        --year;
    }
    // The time of day carries into the day before the sign is applied, so
    // that 30 hours after a day before day 0 is 06:00 of the day after it.
    const int64_t dayMilliseconds =
        time.hour * int64_t{3600000} + time.minute * int64_t{60000} + time.second * int64_t{1000} + time.milliseconds;
    int64_t carry = dayMilliseconds / kMillisecondsPerDay;
    int64_t rest = dayMilliseconds % kMillisecondsPerDay;
    if (rest < 0) {
        rest += kMillisecondsPerDay;
        --carry;
    }
    const int64_t days = DaysFromCivil(year, month, 1) - kDayZero + (int64_t{time.day} - 1) + carry;
    const double fraction = static_cast<double>(rest / 1000) / 86400.0 + static_cast<double>(rest % 1000) / 86400000.0;
    const auto whole = static_cast<double>(days);
    return days < 0 ? whole - fraction : whole + fraction;
}

std::optional<CalendarTime> CalendarFromDateNumber(double date)
{
    // The range holds whole days, the last one until its end; a moment that
    // rounds past either end fails rather than naming year 10000 or 99.
    date += date < 0 ? -kHalfMillisecond : kHalfMillisecond;
    const double whole = std::trunc(date);
    if (!(whole >= kFirstDay && whole <= kLastDay)) return std::nullopt;
    const double fraction = std::fabs(date - whole);
    auto milliseconds = static_cast<int64_t>(std::floor(fraction * 86400000.0));
    if (milliseconds >= 86400000) milliseconds = 86399999;
    const auto days = static_cast<int64_t>(whole);
    CalendarTime out;
    CivilFromDays(kDayZero + days, out);
    out.dayOfWeek = static_cast<int32_t>(((days + 6) % 7 + 7) % 7);
    out.hour = static_cast<int32_t>(milliseconds / 3600000);
    out.minute = static_cast<int32_t>(milliseconds / 60000 % 60);
    out.second = static_cast<int32_t>(milliseconds / 1000 % 60);
    out.milliseconds = static_cast<int32_t>(milliseconds % 1000);
    return out;
}

} // namespace vellum::system
