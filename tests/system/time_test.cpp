// Calendar fields to date numbers and back, strict and lenient; scripts
// see the fields of date numbers in the script cases.
#include "system/time/date_number.h"

#include <gtest/gtest.h>

namespace vellum::test {
namespace {

using system::CalendarTime;
using system::DateNumberFromCalendar;
using system::FieldCheck;

TEST(DateNumbers, CalendarFieldsToNumbers)
{
    auto number = [](CalendarTime t, FieldCheck check) { return DateNumberFromCalendar(t, check); };
    EXPECT_EQ(number({2000, 2, 29, 6}, FieldCheck::checking), 36585.25);
    EXPECT_EQ(number({1899, 12, 29, 6}, FieldCheck::checking), -1.25);
    // Every field out of its range fails in checking mode.
    const CalendarTime bad[] = {
        {1900, 2, 29},   {2001, 13, 1},    {2001, 0, 1},        {2001, 1, 0},           {10000, 1, 1},
        {-1, 1, 1},      {2001, 1, 1, 24}, {2001, 1, 1, 0, 60}, {2001, 1, 1, 0, 0, 60}, {2001, 1, 1, 0, 0, 0, 1000},
        {2001, 1, 1, -1}};
    for (const CalendarTime& b : bad) EXPECT_FALSE(number(b, FieldCheck::checking)) << b.year << "-" << b.month;
    // Lenient months carry into the year, both ways.
    EXPECT_EQ(number({2000, 13, 1}, FieldCheck::lenient), number({2001, 1, 1}, FieldCheck::checking));
    EXPECT_EQ(number({2000, 0, 1}, FieldCheck::lenient), number({1999, 12, 1}, FieldCheck::checking));
    EXPECT_EQ(number({2000, -12, 1}, FieldCheck::lenient), number({1998, 12, 1}, FieldCheck::checking));
    // Hours carry into the day before the sign of days before day 0 applies.
    EXPECT_EQ(number({1899, 12, 29, 30}, FieldCheck::lenient), 0.25);
    EXPECT_EQ(number({1899, 12, 30, -6}, FieldCheck::lenient), -1.75);
    EXPECT_EQ(number({2000, 1, 1, 0, 0, 0, 86400000}, FieldCheck::lenient), number({2000, 1, 2}, FieldCheck::checking));
    // Absurd lenient fields still give a number instead of overflowing.
    EXPECT_TRUE(number({2147483647, 2147483647, 2147483647, 2147483647, 2147483647, 2147483647, 2147483647},
                       FieldCheck::lenient));
    EXPECT_TRUE(
        number({-2147483647 - 1, -2147483647 - 1, -2147483647 - 1, -2147483647 - 1, 0, 0, 0}, FieldCheck::lenient));
    // Round trips over every day of a few centuries keep the day of week going.
    for (int32_t day = -657434; day <= 2958465; day += 997) {
        const double date = day < 0 ? day - 0.75 : day + 0.75;
        const auto fields = system::CalendarFromDateNumber(date);
        ASSERT_TRUE(fields);
        EXPECT_EQ(fields->hour, 18);
        EXPECT_EQ(number(*fields, FieldCheck::checking), date) << day;
        EXPECT_EQ(fields->dayOfWeek, ((day + 6) % 7 + 7) % 7);
    }
}

} // namespace
} // namespace vellum::test
