// Single-byte conversion from an 8-bit code page to UTF-16.
#include "engine/stream/code_page_converter.h"

#include "engine/core/text_codec.h"

#include <string>

namespace vellum {

namespace {
const iconv_t kNoDescriptor = reinterpret_cast<iconv_t>(-1);
}

CodePageConverter::CodePageConverter(int32_t codePage)
    : codePage(codePage), descriptor(iconv_open("UTF-16LE", ("CP" + std::to_string(codePage)).c_str()))
{
}

CodePageConverter::~CodePageConverter()
{
    if (descriptor != kNoDescriptor) iconv_close(descriptor);
}

char16_t CodePageConverter::Convert(uint8_t byte)
{
    if (descriptor == kNoDescriptor) return byte;
    char in = static_cast<char>(byte);
    char out[4];
    char* inPtr = &in;
    char* outPtr = out;
    size_t inLeft = 1;
    size_t outLeft = sizeof out;
    // Every byte starts from the initial shift state, as if converted alone.
    iconv(descriptor, nullptr, nullptr, nullptr, nullptr);
    if (iconv(descriptor, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1) || sizeof out - outLeft != 2) {
        return byte;
    }
    return Utf16LeUnit(static_cast<uint8_t>(out[0]), static_cast<uint8_t>(out[1]));
}

} // namespace vellum
