// The global functions every interpreter has from its construction on:
// conversions, arithmetic helpers, table queries, message boxes, Eval and
// Die. RegisterCoreLibrary also brings in the string methods.
#include "host/corelib/core_library.h"

#include "engine/core/case_mapping.h"
#include "engine/core/string_object.h"
#include "engine/core/table_iterator.h"
#include "engine/vm/class_binding.h"
#include "engine/vm/interpreter.h"
#include "engine/vm/path_resolver.h"
#include "host/corelib/string_methods.h"
#include "platform/desktop/message_box.h"

#include <cmath>
#include <filesystem>
#include <string>

namespace vellum {

namespace {

using platform::MessageButtons;
using platform::MessageIcon;

// Reads two number arguments; false (with errNumberExpected) unless both are numbers.
bool NumberPair(Interpreter& ip, double& a, double& b)
{
    a = ip.ArgNumber(1);
    b = ip.ArgNumber(2);
    return !ip.ErrorPending();
}

uint32_t AsStr(Interpreter& ip)
{
    if (!ip.CheckArgs(1, -1)) return 0;
    ip.PushValue(Value::String(ip.ArgText(1)));
    return 1;
}

uint32_t Char(Interpreter& ip)
{
    if (!ip.CheckArgs(1, -1)) return 0;
    const Value& v = ip.ArgValue(1);
    // Infinity has no low bits to take; like NaN it gives null.
    if (!v.IsNum() || !(v.num > 0.0) || !std::isfinite(v.num)) return 0;
    // The low 16 bits of the integer part. A zero unit would end the text
    // on the device, so it gives the empty string (65536, or 0.5).
    const auto unit = static_cast<char16_t>(std::fmod(std::trunc(v.num), 65536.0));
    ip.PushString(unit == 0 ? std::u16string_view{} : std::u16string_view(&unit, 1));
    return 1;
}

uint32_t MsgBox(Interpreter& ip)
{
    if (!ip.CheckArgs(1, 4)) return 0;
    const int given = ip.ArgCount() - 1;
    // Copies: the box runs a message loop, and scripts running meanwhile
    // may collect the argument strings, which nothing roots.
    const std::u16string text(ip.ArgText(1)->Utf16());
    const std::u16string caption(given >= 2 ? ip.ArgText(2)->Utf16() : u"Vellum");
    const MessageButtons buttons =
        given >= 3 ? platform::MessageButtonsNamed(ip.ArgText(3)->Utf16()) : MessageButtons::Ok;
    const MessageIcon icon = given >= 4 ? platform::MessageIconNamed(ip.ArgText(4)->Utf16()) : MessageIcon::Information;
    const std::u16string pressed = platform::ShowMessageBox(text, caption, buttons, icon);
    ip.PushString(pressed);
    return 1;
}

// A function of exactly one number.
uint32_t OfOneNumber(Interpreter& ip, double (*f)(double))
{
    if (!ip.CheckArgs(1, -1)) return 0;
    const double x = ip.ArgNumber(1);
    if (ip.ErrorPending()) return 0;
    ip.PushNumber(f(x));
    return 1;
}

uint32_t Sin(Interpreter& ip)
{
    return OfOneNumber(ip, [](double x) { return std::sin(x); });
}

uint32_t Max(Interpreter& ip)
{
    double a, b;
    if (!ip.CheckArgs(2, -1) || !NumberPair(ip, a, b)) return 0;
    ip.PushNumber(a > b ? a : b);
    return 1;
}

uint32_t Min(Interpreter& ip)
{
    double a, b;
    if (!ip.CheckArgs(2, -1) || !NumberPair(ip, a, b)) return 0;
    ip.PushNumber(a < b ? a : b);
    return 1;
}

uint32_t Abs(Interpreter& ip)
{
    return OfOneNumber(ip, [](double x) { return x < 0 ? -x : x; });
}

uint32_t Int(Interpreter& ip)
{
    return OfOneNumber(ip, [](double x) { return std::floor(x); });
}

// Values that are not numbers are skipped, so a record's numeric fields
// can be summed without picking them out first.
uint32_t Sum(Interpreter& ip)
{
    if (!ip.CheckArgs(1, -1)) return 0;
    TableObject* table = ip.ArgTable(1);
    if (table == nullptr) return 0;
    // Every entry counts, also those for ... in skips (fractional and
    // negative keys of a number-keyed table): the walk is in hash order.
    double sum = 0.0;
    TableObject::HashCursor cursor;
    Value key, value;
    while (table->NextInHashOrder(cursor, key, value)) {
        if (value.IsNum()) sum += value.num;
    }
    ip.PushNumber(sum);
    return 1;
}

uint32_t Count(Interpreter& ip)
{
    if (!ip.CheckArgs(1, -1)) return 0;
    TableObject* table = ip.ArgTable(1);
    if (table == nullptr) return 0;
    ip.PushNumber(static_cast<double>(table->Count()));
    return 1;
}

uint32_t Lookup(Interpreter& ip)
{
    if (!ip.CheckArgs(2, -1)) return 0;
    TableObject* table = ip.ArgTable(1);
    if (table == nullptr) return 0;
    const WideText wantedUnits(ip.ArgText(2));
    const std::u16string_view wanted = wantedUnits.View();
    TableIterator it(*table);
    Value key, value;
    for (double position = 0;; ++position) {
        if (!it.Next(key, value)) return 0;
        const StringObject* text = ip.ToString(value);
        // A value too long to write out ends the search with the error.
        if (ip.ErrorPending()) return 0;
        if (EqualIgnoringCase(text->Utf16(), wanted)) {
            ip.PushNumber(position);
            return 1;
        }
    }
}

uint32_t Eval(Interpreter& ip)
{
    if (!ip.CheckArgs(1, -1)) return 0;
    // The text is compiled and run, which may collect; the argument cell is
    // no longer a root once the call is off the stack.
    const ValueRoot text(ip, Value::String(ip.ArgText(1)));
    const Value result = ip.EvalSource(text.value.str->Utf16());
    ip.PushValue(result);
    return 1;
}

// Only a bool can be negated: anything else fails with errBoolExpected,
// as a bool argument of any other native does.
uint32_t Not(Interpreter& ip)
{
    if (!ip.CheckArgs(1, -1)) return 0;
    const uint32_t b = ip.ArgBool(1);
    if (ip.ErrorPending()) return 0;
    ip.PushBool(b == 0);
    return 1;
}

uint32_t Mod(Interpreter& ip)
{
    double a, b;
    if (!ip.CheckArgs(2, -1) || !NumberPair(ip, a, b)) return 0;
    // Takes the sign of b; b = 0 gives NaN.
    ip.PushNumber(a - std::floor(a / b) * b);
    return 1;
}

uint32_t Die(Interpreter& ip)
{
    if (!ip.CheckArgs(0, 1)) return 0;
    if (ip.ArgCount() - 1 == 1) {
        const std::u16string text(ip.ArgText(1)->Utf16());
        platform::ShowMessageBox(text, u"Vellum - Die", MessageButtons::Ok, MessageIcon::Information);
    }
    // A pending error is kept (the first error wins); errDie ends the run quietly.
    ip.RaiseError(errDie);
    return 0;
}

// Makes the last directory of the path, as the device's CreateDirectory
// does: its parent must exist. A path outside the device folder, an
// existing directory or a missing parent make nothing and raise nothing.
uint32_t MkDir(Interpreter& ip)
{
    if (!ip.CheckArgs(1, -1)) return 0;
    if (const auto path = ip.Paths().HostPath(ip.ArgText(1)->Utf16())) {
        std::error_code ignored;
        std::filesystem::create_directory(*path, ignored);
    }
    return 0;
}

uint32_t ValType(Interpreter& ip)
{
    if (!ip.CheckArgs(1, -1)) return 0;
    ip.PushString(TagName(ip.ArgValue(1).tag));
    return 1;
}

} // namespace

void RegisterCoreLibrary(Interpreter& ip)
{
    static constexpr GlobalFunction kFunctions[] = {
        {u"AsStr", AsStr},
        {u"Char", Char},
        {u"MsgBox", MsgBox},
        {u"Sin", Sin},
        {u"Max", Max},
        {u"Min", Min},
        {u"Abs", Abs},
        {u"Int", Int},
        {u"Sum", Sum},
        {u"Count", Count},
        {u"Lookup", Lookup},
        {u"Eval", Eval},
        {u"Not", Not},
        {u"Mod", Mod},
        {u"Die", Die},
        {u"MkDir", MkDir},
        {u"ValType", ValType},
    };
    RegisterFunctions(ip, kFunctions);
    RegisterStringMethods(ip);
}

} // namespace vellum
