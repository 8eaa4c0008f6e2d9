#include "system/files/byte_text.h"

#include "engine/stream/code_page_converter.h"

namespace vellum::system {

std::u16string AnsiText(std::span<const uint8_t> bytes, TextEnd end)
{
    CodePageConverter ansi(kAnsiCodePage);
    std::u16string text;
    for (const uint8_t b : bytes) {
        if (b == 0 && end == TextEnd::atZero) break;
        text += ansi.Convert(b);
    }
    return text;
}

} // namespace vellum::system
