// The text layer of a byte stream: finds the encoding from the first
// bytes, reads UTF-16 units in UTF-16LE, UTF-16BE or an 8-bit code page,
// reads lines or the whole remaining text, and appends UTF-16LE lines.
#pragma once

#include "engine/stream/code_page_converter.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vellum {

class ByteStream;
class Interpreter;

class TextReader {
public:
    static constexpr int32_t kUtf16Le = 1200;
    static constexpr int32_t kUtf16Be = 1201;

    TextReader(Interpreter* ip, ByteStream& stream);
    TextReader(const TextReader&) = delete;
    TextReader& operator=(const TextReader&) = delete;

    // Any value other than 1200 and 1201 names an 8-bit code page. The
    // encoding detection, while still pending, may override it.
    void SetCodePage(int32_t codePage) { this->codePage = codePage; }
    int32_t CodePage() const { return codePage; }

    // One unit, or 0 at the end of the data (a zero unit in the data ends
    // it too). Runs the encoding detection first if it is pending.
    char16_t ReadChar();
    // In line mode the next line without its break, or none once the end
    // was reached by an earlier call; otherwise all the remaining text with
    // every line break made CR LF.
    std::optional<std::u16string> ReadText(bool lineMode);
    // Appends the text and CR LF in UTF-16LE at the end of the stream,
    // after the mark FF FE when the stream is empty, whatever the code page.
    void AppendLine(std::u16string_view text);

private:
    void DetectEncoding();
    char16_t ConvertByte(uint8_t byte);

    Interpreter* const interpreter;
    ByteStream& stream;
    int32_t codePage = kUtf16Le;
    bool detectPending = true;
    // 0xFFFF before the first read, 0 once the end of the data was reached.
    char16_t lastChar = 0xFFFF;
    // Opened at the first byte that needs it, again when the code page changes.
    std::optional<CodePageConverter> converter;
};

} // namespace vellum
