// Values as text: what Print shows, what natives take strings as, and the
// `&` operator.
#include "engine/vm/interpreter.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace vellum {

namespace {

// Tables nested deeper than this, and tables that contain themselves, print as "{...}".
constexpr size_t kMaxPrintDepth = 100;
// Concatenate keeps its buffer between calls up to this many units.
constexpr size_t kKeptConcatUnits = size_t{1} << 20;

void AppendNumber(std::u16string& out, double d)
{
    char buffer[400];
    const char* end;
    if (d >= -2147483648.0 && d <= 2147483647.0 && d == std::trunc(d)) {
        end = std::to_chars(buffer, buffer + sizeof buffer, static_cast<int32_t>(d)).ptr;
    } else if (std::isnan(d)) {
        // A NaN's sign means nothing; it prints as "nan" either way.
        out += u"nan";
        return;
    } else {
        // Six decimals, as "%f" prints them, whatever the process locale says.
        end = std::to_chars(buffer, buffer + sizeof buffer, d, std::chars_format::fixed, 6).ptr;
    }
    for (const char* c = buffer; c != end; ++c) out += static_cast<char16_t>(*c);
}

} // namespace

void Interpreter::AppendText(std::u16string& out, const Value& v, bool quoted, bool pretty,
                             std::vector<const TableObject*>& open)
{
    switch (v.tag) {
    case Tag::Null:
        out += u"null";
        return;
    case Tag::Bool:
        out += v.word != 0 ? u"true" : u"false";
        return;
    case Tag::Num:
        AppendNumber(out, v.num);
        return;
    case Tag::Str:
        if (quoted) out += u'"';
        out += v.str->View();
        if (quoted) out += u'"';
        return;
    case Tag::FuncBin:
        out += u"[funcBin]";
        return;
    case Tag::Func:
        out += u"[func]";
        return;
    case Tag::Binary:
        out += u"[binary]";
        return;
    case Tag::Ptr: {
        char buffer[32];
        const int n = std::snprintf(buffer, sizeof buffer, "%llX", static_cast<unsigned long long>(v.bits));
        for (int i = 0; i < n; ++i) out += static_cast<char16_t>(buffer[i]);
        return;
    }
    case Tag::Table:
        break;
    }
    const TableObject* table = v.table;
    if (open.size() >= kMaxPrintDepth || std::find(open.begin(), open.end(), table) != open.end()) {
        out += u"{...}";
        return;
    }
    open.push_back(table);
    out += u'{';
    TableObject::HashCursor cursor;
    Value key, value;
    bool first = true;
    while (table->NextInHashOrder(cursor, key, value)) {
        if (pretty && !first) out += u", \n";
        if (pretty) out += u'\n';
        first = false;
        AppendText(out, key, true, pretty, open);
        out += u" = ";
        AppendText(out, value, true, pretty, open);
    }
    out += pretty ? u"\n} \n" : u"} ";
    open.pop_back();
}

StringObject* Interpreter::Concatenate(const Value& a, const Value& b)
{
    // Both texts go into one buffer and only the result is interned.
    concatBuffer.clear();
    std::vector<const TableObject*> open;
    AppendText(concatBuffer, a, false, true, open);
    AppendText(concatBuffer, b, false, true, open);
    StringObject* result = Intern(concatBuffer);
    // A rare huge text does not keep its buffer for the interpreter's life.
    if (concatBuffer.capacity() > kKeptConcatUnits) std::u16string().swap(concatBuffer);
    return result;
}

StringObject* Interpreter::ToString(const Value& v, bool quoted, bool pretty)
{
    if (v.IsStr() && !quoted) return v.str;
    std::u16string text;
    std::vector<const TableObject*> open;
    AppendText(text, v, quoted, pretty, open);
    return Intern(text);
}

} // namespace vellum
