// Values as text: what Print shows, what natives take strings as, and the
// `&` operator.
#include "engine/vm/interpreter.h"

#include "engine/core/string_object.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <unordered_set>
#include <vector>

namespace vellum {

namespace {

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
    const size_t at = out.size();
    out.resize(at + static_cast<size_t>(end - buffer));
    std::copy(static_cast<const char*>(buffer), end, out.begin() + static_cast<std::ptrdiff_t>(at));
}

// Whether the string fits after out within longest units: a string that
// cannot is not copied first, as it may be gigabytes.
inline bool Fits(const std::u16string& out, const StringObject& s, size_t longest)
{
    return out.size() + s.Length() <= longest;
}

// Every value but a table.
void AppendScalarText(std::u16string& out, const Value& v, bool quoted)
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
        return;
    }
}

// Appends the text of v; false, with out cut short, once out is longer
// than longest units. Tables sharing sub-tables print each share in
// full, so a few lines of script can ask for a text of any length.
bool AppendText(std::u16string& out, const Value& v, bool quoted, bool pretty, size_t longest)
{
    if (v.tag != Tag::Table) {
        if (v.IsStr() && !Fits(out, *v.str, longest)) return false;
        AppendScalarText(out, v, quoted);
        return out.size() <= longest;
    }
    // Tables are walked with a stack of their own, so nesting as deep as the
    // data goes costs heap, not native stack; only a table already open
    // further out (one that contains itself) prints as "{...}".
    struct OpenTable {
        const TableObject* table;
        TableObject::HashCursor cursor;
        Value value;
        bool valueDue = false;
        bool first = true;
    };
    std::vector<OpenTable> stack;
    std::unordered_set<const TableObject*> open;
    auto begin = [&](const Value& item, bool itemQuoted) {
        if (item.tag != Tag::Table) return AppendScalarText(out, item, itemQuoted);
        if (!open.insert(item.table).second) {
            out += u"{...}";
            return;
        }
        stack.push_back(OpenTable{item.table, {}, {}});
        out += u'{';
    };
    begin(v, quoted);
    while (!stack.empty()) {
        if (out.size() > longest) return false;
        OpenTable& current = stack.back();
        if (current.valueDue) {
            current.valueDue = false;
            out += u" = ";
            begin(Value(current.value), true);
            continue;
        }
        Value key;
        if (!current.table->NextInHashOrder(current.cursor, key, current.value)) {
            out += pretty ? u"\n} \n" : u"} ";
            open.erase(current.table);
            stack.pop_back();
            continue;
        }
        if (pretty && !current.first) out += u", \n";
        if (pretty) out += u'\n';
        current.first = false;
        current.valueDue = true;
        begin(key, true);
    }
    return out.size() <= longest;
}

} // namespace

StringObject* Interpreter::TooLong()
{
    RaiseError(errOutOfMemory);
    return Intern(u"");
}

StringObject* Interpreter::Concatenate(const Value* values, size_t count)
{
    // All texts go into one buffer and only the result is interned. Strings
    // and numbers, nearly every piece, are appended here in place.
    concatBuffer.clear();
    bool fits = true;
    for (size_t i = 0; i < count && fits; ++i) {
        const Value& v = values[i];
        if (v.IsStr()) {
            fits = Fits(concatBuffer, *v.str, longestString);
            if (fits) concatBuffer.append(v.str->Data(), v.str->Length());
        } else if (v.IsNum()) {
            AppendNumber(concatBuffer, v.num);
            fits = concatBuffer.size() <= longestString;
        } else {
            fits = AppendText(concatBuffer, v, false, true, longestString);
        }
    }
    StringObject* result = fits ? Intern(concatBuffer) : TooLong();
    // A rare huge text does not keep its buffer for the interpreter's life.
    if (concatBuffer.capacity() > kKeptConcatUnits) std::u16string().swap(concatBuffer);
    return result;
}

StringObject* Interpreter::ToString(const Value& v, bool quoted, bool pretty)
{
    if (v.IsStr() && !quoted) return v.str;
    std::u16string text;
    return AppendText(text, v, quoted, pretty, longestString) ? Intern(text) : TooLong();
}

} // namespace vellum
