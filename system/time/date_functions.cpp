// Time, Date and DateFormat: the fields of a date number a script gives.
#include "engine/vm/interpreter.h"
#include "platform/desktop/locale_date.h"
#include "system/natives.h"
#include "system/time/date_number.h"

#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace vellum::system {

namespace {

constexpr size_t kMaxDateText = 200;

// The moment of the one date-number argument; nothing when the call
// failed or the number is out of range, which gives null.
std::optional<CalendarTime> ArgMoment(Interpreter& ip)
{
    if (!ip.CheckArgs(1, -1)) return std::nullopt;
    const double date = ip.ArgNumber(1);
    if (ip.ErrorPending()) return std::nullopt;
    return CalendarFromDateNumber(date);
}

uint32_t PushFields(Interpreter& ip, std::initializer_list<std::pair<std::u16string_view, int32_t>> fields)
{
    TableObject* table = ip.NewTable();
    for (const auto& [name, value] : fields) ip.TableSet(table, name, Value::Number(value));
    ip.PushValue(Value::Table(table));
    return 1;
}

} // namespace

uint32_t Time(Interpreter& ip)
{
    const auto moment = ArgMoment(ip);
    if (!moment) return 0;
    return PushFields(ip, {{u"hour", moment->hour},
                           {u"minute", moment->minute},
                           {u"second", moment->second},
                           {u"milliseconds", moment->milliseconds}});
}

uint32_t Date(Interpreter& ip)
{
    const auto moment = ArgMoment(ip);
    if (!moment) return 0;
    return PushFields(
        ip,
        {{u"year", moment->year}, {u"month", moment->month}, {u"day", moment->day}, {u"dayOfWeek", moment->dayOfWeek}});
}

uint32_t DateFormat(Interpreter& ip)
{
    const auto moment = ArgMoment(ip);
    if (!moment) return 0;
    std::u16string text = platform::ShortDateText(moment->year, moment->month, moment->day);
    if (text.size() > kMaxDateText) text.resize(kMaxDateText);
    ip.PushString(text);
    return 1;
}

} // namespace vellum::system
