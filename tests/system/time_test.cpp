#include "system/time/date_number.h"
#include "system_harness.h"

namespace vellum::test {
namespace {

using system::CalendarTime;
using system::DateNumberFromCalendar;
using system::FieldCheck;

class TimeTest : public SystemHarness {
protected:
    TimeTest()
    {
        EXPECT_EQ(Run(R"(
function Ymd(d)
    if d == null return "null" end
    return d.year & "-" & d.month & "-" & d.day & " " & d.dayOfWeek
end
function Hms(t)
    if t == null return "null" end
    return t.hour & ":" & t.minute & ":" & t.second & "." & t.milliseconds
end
result = 0)"),
                  "0");
    }
    std::string DateOf(const std::string& number) { return Eval("Ymd(Date(" + number + "))"); }
    std::string TimeOf(const std::string& number) { return Eval("Hms(Time(" + number + "))"); }
};

TEST_F(TimeTest, FieldsOfDateNumbersAtTheEdges)
{
    EXPECT_EQ(DateOf("0"), "\"1899-12-30 6\"");
    EXPECT_EQ(TimeOf("0.5"), "\"12:0:0.0\"");
    EXPECT_EQ(TimeOf("-1.25"), "\"6:0:0.0\"");
    EXPECT_EQ(DateOf("-1.25"), "\"1899-12-29 5\"");
    // Less than half a millisecond before midnight rounds into the next day.
    EXPECT_EQ(DateOf("0.999999997"), "\"1899-12-31 0\"");
    EXPECT_EQ(TimeOf("0.999999997"), "\"0:0:0.0\"");
    EXPECT_EQ(DateOf("0.99999999"), "\"1899-12-30 6\"");
    EXPECT_EQ(TimeOf("0.99999999"), "\"23:59:59.999\"");
    // The range is whole days: 1 January 100 to the end of 31 December 9999.
    EXPECT_EQ(DateOf("-657434"), "\"100-1-1 5\"");
    EXPECT_EQ(DateOf("2958465.75"), "\"9999-12-31 5\"");
    EXPECT_EQ(TimeOf("2958465.99999999"), "\"23:59:59.999\"");
    for (const char* outside : {"2958466", "-657435", "2958465.999999999", "-657434.999999999"}) {
        EXPECT_EQ(Eval(std::string("Date(") + outside + ")"), "null") << outside;
        EXPECT_EQ(Eval(std::string("DateFormat(") + outside + ")"), "null") << outside;
    }
    EXPECT_EQ(Eval("Time(1/0)"), "null");
    EXPECT_EQ(Eval("Date(0/0)"), "null");
    EXPECT_EQ(Eval("Date('1')"), "!errNumberExpected");
    EXPECT_EQ(Eval("Time()"), "!errFewArguments");
    EXPECT_EQ(Eval("Date(1, 2)"), "!errManyArguments");
}

TEST_F(TimeTest, CalendarFieldsToNumbers)
{
    auto number = [](CalendarTime t, FieldCheck check) { return DateNumberFromCalendar(t, check); };
    CalendarTime t{2000, 2, 29, 6, 0, 0, 0};
    EXPECT_EQ(number(t, FieldCheck::checking), 36585.25);
    t = {1899, 12, 29, 6, 0, 0, 0};
    EXPECT_EQ(number(t, FieldCheck::checking), -1.25);
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

TEST_F(TimeTest, ClocksAgreeWithEachOther)
{
    // Read twice around Now, so that a run across midnight is recognised.
    const std::string checked = Run("var t1 = Today() var now = Now() var t2 = Today() "
                                    "result = {t1 == t2, t1 == Int(t1), now >= t1, now < t1 + 1, "
                                    "Date(now).day == Date(t1).day}");
    if (checked.rfind("{0 = false", 0) != 0) {
        EXPECT_EQ(checked, "{0 = true1 = true2 = true3 = true4 = true} ");
    }
    EXPECT_EQ(Run("var a = TickCount() result = {a >= 0, a < 4294967296, a == Int(a)}"), "{0 = true1 = true2 = true} ");
    const std::string text = Eval("DateFormat(36585)");
    EXPECT_GT(text.size(), 2u);
    EXPECT_NE(text.find("29"), std::string::npos) << text;
    EXPECT_EQ(Eval("Now(1)"), "!errManyArguments");
    EXPECT_EQ(Eval("TickCount(1)"), "!errManyArguments");
}

} // namespace
} // namespace vellum::test
