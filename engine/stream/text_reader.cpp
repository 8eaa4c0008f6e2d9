// Reading characters, lines and whole texts from a byte stream, and
// appending lines to it.
#include "engine/stream/text_reader.h"

#include "engine/core/text_codec.h"
#include "engine/stream/byte_stream.h"
#include "engine/vm/interpreter.h"

namespace vellum {

namespace {
// Running out of data is how reading ends, so the read error that a stream
// raises there is cleared again. An error that was pending before is
// someone else's and stays.
class ReadErrorScope {
public:
    explicit ReadErrorScope(Interpreter* ip) : ip(ip != nullptr && !ip->ErrorPending() ? ip : nullptr) {}

    void ClearReadError() const
    {
        if (ip != nullptr && ip->ErrorIdentifier() == errFileRead) ip->ClearError();
    }

private:
    Interpreter* const ip;
};
} // namespace

TextReader::TextReader(Interpreter* ip, ByteStream& stream) : interpreter(ip), stream(stream) {}

char16_t TextReader::ReadChar()
{
    if (detectPending) DetectEncoding();
    uint8_t bytes[2];
    char16_t unit = 0;
    if (codePage == kUtf16Le || codePage == kUtf16Be) {
        if (stream.Read(bytes, 2) == 2) {
            unit = codePage == kUtf16Le ? Utf16LeUnit(bytes[0], bytes[1]) : Utf16LeUnit(bytes[1], bytes[0]);
        }
    } else if (stream.Read(bytes, 1) == 1) {
        unit = bytes[0] < 0x80 ? bytes[0] : ConvertByte(bytes[0]);
    }
    lastChar = unit;
    return unit;
}

std::optional<std::u16string> TextReader::ReadText(bool lineMode)
{
    if (lineMode && lastChar == 0) return std::nullopt;
    const ReadErrorScope errors(interpreter);
    std::u16string text;
    for (;;) {
        const char16_t previous = lastChar;
        const char16_t unit = ReadChar();
        errors.ClearReadError();
        if (unit == 0) break;
        // The carriage return before a line feed already ended the line.
        if (unit == u'\n' && previous == u'\r') continue;
        if (unit == u'\r' || unit == u'\n') {
            if (lineMode) break;
            text += u"\r\n";
        } else {
            text += unit;
        }
    }
    return text;
}

void TextReader::AppendLine(std::u16string_view text)
{
    stream.SeekEnd();
    // One write for the whole line, so that an unbuffered stream never
    // holds half of it.
    // At the end, the position is the file's size.
    std::u16string line = stream.position == 0 ? u"\uFEFF" : u"";
    line.reserve(line.size() + text.size() + 2);
    line += text;
    line += u"\r\n";
    stream.WriteUtf16Le(line);
}

void TextReader::DetectEncoding()
{
    detectPending = false;
    const ReadErrorScope errors(interpreter);
    stream.Seek(0);
    uint8_t head[4];
    const size_t got = stream.Read(head, sizeof head);
    // A text shorter than the probe is no read failure.
    errors.ClearReadError();
    if (StartsWithUtf16LeMark(std::span(head, got))) {
        codePage = kUtf16Le;
        stream.Seek(2);
        return;
    }
    if (got >= 2 && head[0] == 0xFE && head[1] == 0xFF) {
        codePage = kUtf16Be;
        stream.Seek(2);
        return;
    }
    stream.Seek(0);
    if (got < 2) return;
    if (head[1] == 0) {
        codePage = kUtf16Le;
    } else if (head[0] == 0) {
        codePage = kUtf16Be;
    }
}

char16_t TextReader::ConvertByte(uint8_t byte)
{
    if (!converter || converter->CodePage() != codePage) converter.emplace(codePage);
    return converter->Convert(byte);
}

} // namespace vellum
