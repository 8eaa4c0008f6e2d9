// The methods of the string prototype. `this` is taken as text, so a
// method reached through another value works on that value's text.
// Positions and lengths count UTF-16 code units from 0; number arguments
// are truncated toward zero.
#include "host/corelib/string_methods.h"

#include "engine/core/case_mapping.h"
#include "engine/vm/class_binding.h"
#include "engine/vm/interpreter.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <type_traits>

namespace vellum {

namespace {

// A number argument truncated toward zero (saturating); false, with
// errNumberExpected, when it is not a number.
bool ArgInteger(Interpreter& ip, int i, int64_t& out)
{
    int32_t n = 0;
    if (!Interpreter::ValueToInt(ip.ArgValue(i), n)) {
        ip.RaiseError(errNumberExpected);
        return false;
    }
    out = n;
    return true;
}

const StringObject& Self(Interpreter& ip) { return *ip.ArgText(0); }

// Where needle first occurs in text at or after from (at most the length),
// or npos; the two may be in different forms.
template <class Text, class Needle>
size_t FindUnits(Text text, Needle needle, size_t from)
{
    if constexpr (std::is_same_v<Text, Needle>) {
        return text.find(needle, from);
    } else {
        const auto at = std::search(text.begin() + static_cast<std::ptrdiff_t>(from), text.end(), needle.begin(),
                                    needle.end(), [](auto a, auto b) { return char16_t(a) == char16_t(b); });
        return at == text.end() && !needle.empty() ? Text::npos : static_cast<size_t>(at - text.begin());
    }
}

uint32_t Len(Interpreter& ip)
{
    if (!ip.CheckArgs(0, -1)) return 0;
    ip.PushNumber(static_cast<double>(Self(ip).Length()));
    return 1;
}

// A start outside 0 to the length, or a negative count, gives the empty
// string rather than guessing which part was meant.
uint32_t Substr(Interpreter& ip)
{
    int64_t start, count;
    if (!ip.CheckArgs(2, -1) || !ArgInteger(ip, 1, start) || !ArgInteger(ip, 2, count)) return 0;
    const StringObject& s = Self(ip);
    if (start < 0 || start > static_cast<int64_t>(s.Length()) || count < 0) {
        ip.PushString(u"");
    } else {
        s.Visit([&](auto units) {
            ip.PushString(units.substr(static_cast<size_t>(start), static_cast<size_t>(count)));
        });
    }
    return 1;
}

uint32_t Upper(Interpreter& ip)
{
    if (!ip.CheckArgs(0, -1)) return 0;
    const WideText self(&Self(ip));
    ip.PushString(ToUpperCase(self.View()));
    return 1;
}

uint32_t Lower(Interpreter& ip)
{
    if (!ip.CheckArgs(0, -1)) return 0;
    const WideText self(&Self(ip));
    ip.PushString(ToLowerCase(self.View()));
    return 1;
}

// Null when from lies outside the string, so even the empty needle is not
// found in the empty string.
uint32_t Find(Interpreter& ip)
{
    if (!ip.CheckArgs(1, 2)) return 0;
    int64_t from = 0;
    if (ip.ArgCount() - 1 == 2 && !ArgInteger(ip, 2, from)) return 0;
    const StringObject& s = Self(ip);
    if (from < 0 || from >= static_cast<int64_t>(s.Length())) return 0;
    const StringObject& needle = *ip.ArgText(1);
    const size_t at = s.Visit([&](auto text) {
        return needle.Visit([&](auto units) { return FindUnits(text, units, static_cast<size_t>(from)); });
    });
    if (at == std::u16string_view::npos) return 0;
    ip.PushNumber(static_cast<double>(at));
    return 1;
}

uint32_t Replace(Interpreter& ip)
{
    int64_t position, count = 0;
    if (!ip.CheckArgs(2, 3) || !ArgInteger(ip, 2, position)) return 0;
    if (ip.ArgCount() - 1 == 3 && !ArgInteger(ip, 3, count)) return 0;
    const WideText self(&Self(ip));
    const std::u16string_view s = self.View();
    if (position < 0 || count < 0 || position + count > static_cast<int64_t>(s.size())) return 0;
    std::u16string result(s.substr(0, static_cast<size_t>(position)));
    const WideText inserted(ip.ArgText(1));
    result += inserted.View();
    result += s.substr(static_cast<size_t>(position + count));
    ip.PushString(result);
    return 1;
}

// The pieces of text between the separators, each in the form its units
// fit: a narrow text splits into narrow pieces without widening.
template <class Text, class Separator>
void AppendPieces(Interpreter& ip, TableObject* pieces, Text text, Separator separator)
{
    if (separator.empty()) {
        for (size_t i = 0; i < text.size(); ++i) pieces->Append(ip.MakeString(text.substr(i, 1)));
        if (text.empty()) pieces->Append(ip.MakeString(u""));
        return;
    }
    size_t begin = 0;
    for (size_t at = FindUnits(text, separator, 0); at != Text::npos; at = FindUnits(text, separator, begin)) {
        pieces->Append(ip.MakeString(text.substr(begin, at - begin)));
        begin = at + separator.size();
    }
    pieces->Append(ip.MakeString(text.substr(begin)));
}

// An empty separator splits into single code units (the empty string
// still gives one empty piece) instead of failing.
uint32_t Split(Interpreter& ip)
{
    if (!ip.CheckArgs(1, -1)) return 0;
    const StringObject& s = Self(ip);
    const StringObject& separator = *ip.ArgText(1);
    TableObject* pieces = ip.NewTable();
    s.Visit([&](auto text) {
        separator.Visit([&](auto units) { AppendPieces(ip, pieces, text, units); });
    });
    ip.PushValue(Value::Table(pieces));
    return 1;
}

} // namespace

void RegisterStringMethods(Interpreter& ip)
{
    // Every string value inherits these from the strings' prototype.
    static constexpr ClassMethod kStringMethods[] = {
        {u"Len", Len},   {u"Substr", Substr},   {u"Upper", Upper}, {u"Lower", Lower},
        {u"Find", Find}, {u"Replace", Replace}, {u"Split", Split},
    };
    AddMethods(ip, ip.TypePrototype(Tag::Str), kStringMethods);
}

} // namespace vellum
