// Values as text: what Print shows, what natives take strings as, and the
// `&` operator.
#include "engine/vm/interpreter.h"

#include "engine/core/string_object.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <type_traits>
#include <unordered_set>
#include <vector>

namespace vellum {

namespace {

// Concatenate keeps its buffer between calls up to this many units.
constexpr size_t kKeptConcatUnits = size_t{1} << 20;

template <class Text>
void AppendNumber(Text& out, double d)
{
    char buffer[400];
    const char* end;
    if (d >= -2147483648.0 && d <= 2147483647.0 && d == std::trunc(d)) {
        end = std::to_chars(buffer, buffer + sizeof buffer, static_cast<int32_t>(d)).ptr;
    } else if (std::isnan(d)) {
        // A NaN's sign means nothing; it prints as "nan" either way.
        for (const char c : {'n', 'a', 'n'}) out += static_cast<typename Text::value_type>(c);
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
template <class Text>
bool Fits(const Text& out, const StringObject& s, size_t longest)
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
        v.str->Visit([&](auto units) { out.append(units.begin(), units.end()); });
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

// Replaces out with the texts of the values one after the other; false
// once out is longer than longest units. A narrow out takes only numbers
// and narrow strings.
template <class Text>
bool AppendPieces(Text& out, const Value* values, size_t count, size_t longest)
{
    out.clear();
    for (size_t i = 0; i < count; ++i) {
        const Value& v = values[i];
        if (v.IsStr()) {
            if (!Fits(out, *v.str, longest)) return false;
            v.str->Visit([&](auto units) { out.append(units.begin(), units.end()); });
        } else if (v.IsNum()) {
            AppendNumber(out, v.num);
            if (out.size() > longest) return false;
        } else if constexpr (std::is_same_v<Text, std::u16string>) {
            if (!AppendText(out, v, false, true, longest)) return false;
        }
    }
    return true;
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
    // and numbers, nearly every piece, are appended here in place; when all
    // pieces are narrow strings or numbers, the buffer is narrow too.
    const bool narrow = std::all_of(values, values + count,
                                    [](const Value& v) { return v.IsNum() || (v.IsStr() && v.str->IsNarrow()); });
    StringObject* result;
    if (narrow) {
        result = AppendPieces(narrowConcatBuffer, values, count, longestString) ? Intern(Latin1View(narrowConcatBuffer))
                                                                              : TooLong();
    } else {
        result = AppendPieces(concatBuffer, values, count, longestString) ? Intern(concatBuffer) : TooLong();
    }
    // A rare huge text does not keep its buffer for the interpreter's life.
    if (narrowConcatBuffer.capacity() > kKeptConcatUnits) std::u8string().swap(narrowConcatBuffer);
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
