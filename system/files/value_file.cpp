// ToFile and FromFile: one script value kept as its text in a file.
#include "system/files/byte_text.h"
#include "system/files/script_file.h"
#include "system/natives.h"

#include "engine/stream/file_stream.h"
#include "engine/vm/interpreter.h"

#include <string>
#include <vector>

namespace vellum::system {

namespace {

// UTF-16LE after the mark FF FE or from the start, unless the first two
// bytes are both non-zero, which makes the file ANSI text. A file's text
// ends at its first zero unit; an odd last byte is the low half of a unit.
std::u16string DecodeValueText(std::vector<uint8_t> bytes)
{
    bytes.push_back(0);
    bytes.push_back(0);
    const bool marked = StartsWithUtf16LeMark(bytes);
    if (bytes[0] != 0 && bytes[1] != 0 && !marked) return AnsiText(bytes, TextEnd::atZero);
    return DecodeUtf16Le(std::span(bytes).subspan(marked ? 2 : 0), TextEnd::atZero);
}

} // namespace

uint32_t FromFile(Interpreter& ip)
{
    if (!ip.CheckArgs(1, -1)) return 0;
    std::u16string text;
    {
        // Closed before the text is evaluated, which may run script code.
        const platform::OpenFile file = OpenScriptFile(ip, ip.ArgValue(1), kReadAlone);
        if (!file) return 0;
        text = DecodeValueText(ReadRest(file.Handle()).value_or(std::vector<uint8_t>{}));
    }
    ip.PushValue(ip.EvalSource(text));
    return 1;
}

uint32_t ToFile(Interpreter& ip)
{
    if (!ip.CheckArgs(2, -1)) return 0;
    const std::u16string text(ip.ToString(ip.ArgValue(1), false, true)->Utf16());
    // A value too long to write out leaves the file as it was.
    if (ip.ErrorPending()) return 0;
    platform::OpenFile file = OpenScriptFile(ip, ip.ArgValue(2), kWriteEmptied);
    if (!file) return 0;
    FileStream stream(nullptr, file.Handle());
    stream.WriteUtf16Le(text);
    stream.ReleaseHandle();
    return 0;
}

} // namespace vellum::system
