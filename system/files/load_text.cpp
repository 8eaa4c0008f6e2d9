// LoadText: a text file as a table of lines, or of rows of separated
// fields with quoting in the manner of CSV. Every byte is one character.
#include "system/files/script_file.h"
#include "system/natives.h"

#include "engine/stream/file_stream.h"
#include "engine/vm/interpreter.h"

#include <string>

namespace vellum::system {

namespace {

constexpr size_t kMaxFieldLength = 1000;
constexpr size_t kIoBufferSize = 65536;

class FieldSplitter {
public:
    // No separator: line mode, one field per line.
    FieldSplitter(Interpreter& ip, std::optional<char16_t> separator)
        : ip(ip), separator(separator), result(ip.NewTable())
    {
        if (separator) row = ip.NewTable();
    }

    void Take(uint8_t byte)
    {
        const bool afterQuote = previousWasQuote;
        previousWasQuote = byte == '"';
        if (byte == '\n') {
            EndField();
            EndLine(false);
        } else if (separator && byte == *separator && !quoted) {
            EndField();
        } else if (byte == ' ' && field.empty() && !quoted) {
            // Leading blanks of a field are no part of it.
        } else if (byte < 32) {
            // CR, TAB and other control bytes are dropped.
        } else if (byte == '"') {
            TakeQuote(afterQuote);
        } else if (byte == '=' && field.empty()) {
            // Kept from being read as a formula by whatever shows the field.
            Append(u'\'');
            Append(u'=');
        } else {
            Append(byte);
        }
    }

    TableObject* Finish()
    {
        EndField();
        EndLine(true);
        return result;
    }

private:
    // A quote toggles quoting and is not kept; a doubled quote inside a
    // quoted field is one quote of its text: '"a""b"' is a"b.
    void TakeQuote(bool afterQuote)
    {
        if (afterQuote && !quoted) {
            Append(u'"');
            quoted = true;
        } else {
            quoted = !quoted;
        }
    }

    void Append(char16_t c)
    {
        if (field.size() < kMaxFieldLength) field += c;
    }

    void EndField()
    {
        TableObject* into = separator ? row : result;
        const double number = separator ? column++ : line++;
        into->Set(Value::Number(number), ip.MakeString(field));
        field.clear();
        previousWasQuote = false;
    }

    void EndLine(bool atEnd)
    {
        quoted = false;
        if (!separator) return;
        result->Set(Value::Number(rowNumber++), Value::Table(row));
        if (atEnd) return;
        row = ip.NewTable();
        column = 1;
    }

    Interpreter& ip;
    const std::optional<char16_t> separator;
    TableObject* const result;
    TableObject* row = nullptr;
    std::u16string field;
    bool quoted = false;
    bool previousWasQuote = false;
    uint32_t line = 1;
    uint32_t rowNumber = 1;
    uint32_t column = 1;
};

} // namespace

uint32_t LoadText(Interpreter& ip)
{
    if (!ip.CheckArgs(1, 2)) return 0;
    std::optional<char16_t> separator;
    if (ip.ArgCount() > 2) {
        const WideText textUnits(ip.ArgText(2));
        const std::u16string_view text = textUnits.View();
        if (!text.empty()) separator = text.front();
    }
    const platform::OpenFile file = OpenScriptFile(ip, ip.ArgValue(1), kReadAlone);
    if (!file) return 0;
    FileStream stream(&ip, file.Handle());
    stream.AllocateIoBuffer(kIoBufferSize);
    FieldSplitter splitter(ip, separator);
    // Reading stops at the end of the file or at a zero byte; only a read
    // that fails before the end is an error.
    for (uint32_t left = stream.Size(); left > 0; --left) {
        uint8_t byte = 0;
        if (stream.Read(&byte, 1) != 1 || byte == 0) break;
        splitter.Take(byte);
    }
    stream.ReleaseHandle();
    ip.PushValue(Value::Table(splitter.Finish()));
    return 1;
}

} // namespace vellum::system
