#include "engine/error/error_table.h"

#include "engine/core/table_object.h"
#include "engine/vm/interpreter.h"

namespace vellum {

namespace {
struct Message {
    ErrorId id;
    std::u16string_view text;
};

// The built-in English messages, entered in this order.
constexpr Message kEnglish[] = {
    {errOK, u"OK"},
    {errOutOfMemory, u"Out of memory"},
    {errUnexpectedItem, u"Unexpected item"},
    {errIdentifierExpected, u"Variable identifier expected"},
    {errUndeclaredVariable, u"Undeclared identifier \"%s\""},
    {errVariableAlreadyDeclared, u"Variable \"%s\" already declared"},
    {errAssignmentExpected, u"= expected"},
    {errClosingRoundExpected, u") expected"},
    {errClosingCurlyExpected, u"} expected"},
    {errClosingSquareExpected, u"] expected"},
    {errEndExpected, u"Unexpected end of program"},
    {errUnexpectedIdentifier, u"Unexpected identifier"},
    {errNumberOutOfRange, u"Number out of range"},
    {errReturnOudsideFunction, u"Return can be only in function"},
    {errQuotationMarksExpected, u"\" expected"},
    {errMaxIncludeDepthReached, u"Maximal include depth reached - too many included files"},
    {errIncludeFileNameTooLong, u"Include filename too long (did you forget closing \" ?)"},
    {errIncludeFileNotFound, u"Include file not found"},
    {errFewArguments, u"Too few arguments to function"},
    {errManyArguments, u"Too many arguments to function"},
    {errNumberExpected, u"Number expected"},
    {errBoolExpected, u"Boolean value expected"},
    {errTableExpected, u"Table expected"},
    {errIndexingNonTable, u"Trying to index non-table value (indexed value: %s)"},
    {errIndexingNonTable2, u"Trying to index non-table value (%s[%s])"},
    {errFunctionCallToNonFunction, u"Trying to call non-function"},
    {errComparisonDifferentTypes, u"operator %s - the compared values must be the same type"},
    {errForNoniterableValue, u"For cycle - noiterable value after 'in' (for ... in %s)"},
    {errDie, u"Die"},
    {errFileRead, u"File read error"},
    {errFileNotFound, u"File not found %s"},
    {errInvalidFileFormat, u"Invalid file format %s"},
    {errNotAScript, u"%s is not a script: it is neither UTF-16 nor UTF-8 text"},
    {errStopped, u"Stopped"},
};
} // namespace

ErrorTable::ErrorTable(Interpreter& ip_) : ip(ip_), localeTables(ip_.NewTable()) {}

std::u16string_view EnglishMessage(ErrorId id)
{
    for (const Message& m : kEnglish) {
        if (m.id == id) return m.text;
    }
    return id;
}

void ErrorTable::AddDefaultMessages()
{
    for (const Message& m : kEnglish) SetMessage(u"en", m.id, m.text);
}

TableObject* ErrorTable::LocaleTable(std::u16string_view code)
{
    const Value key = ip.MakeString(code);
    const Value existing = localeTables->Get(key);
    if (existing.IsTable()) return existing.table;
    TableObject* table = ip.NewTable();
    localeTables->Set(key, Value::Table(table));
    return table;
}

void ErrorTable::SetMessage(std::u16string_view code, std::u16string_view id, std::u16string_view text)
{
    LocaleTable(code)->Set(ip.MakeString(id), ip.MakeString(text));
}

std::u16string ErrorTable::LookupMessage(std::u16string_view id) const
{
    const Value key = ip.MakeString(id);
    const Value english = localeTables->Get(ip.MakeString(u"en"));
    Value table = localeTables->Get(ip.MakeString(locale));
    if (!table.IsTable()) table = english;
    if (table.IsTable()) {
        const Value text = table.table->Get(key);
        if (text.IsStr()) return text.str->Utf16();
    }
    if (english.IsTable()) {
        const Value text = english.table->Get(key);
        if (text.IsStr()) return text.str->Utf16();
    }
    return std::u16string(id);
}

std::u16string FormatTemplate(std::u16string_view text, std::u16string_view arg1, std::u16string_view arg2,
                              size_t maxUnits)
{
    std::u16string out;
    const std::u16string_view args[2] = {arg1, arg2};
    size_t next = 0;
    for (size_t i = 0; i < text.size() && out.size() < maxUnits; ++i) {
        if (text[i] == u'%' && i + 1 < text.size() && text[i + 1] == u's') {
            if (next < 2) out += args[next];
            ++next;
            ++i;
        } else if (text[i] == u'%' && i + 1 < text.size() && text[i + 1] == u'%') {
            out += u'%';
            ++i;
        } else {
            out += text[i];
        }
    }
    if (out.size() > maxUnits) out.resize(maxUnits);
    return out;
}

} // namespace vellum
