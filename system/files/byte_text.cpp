#include "system/files/byte_text.h"

#include "stream/code_page_converter.h"

namespace vellum::system {

std::u16string Utf16LeText(std::span<const uint8_t> bytes, TextEnd end)
{
    std::u16string text;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto unit = static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8));
        if (unit == 0 && end == TextEnd::atZero) break;
        text += unit;
    }
    return text;
}

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
