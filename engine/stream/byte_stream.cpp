// The parts every byte stream shares: its interpreter and its text layer.
#include "engine/stream/byte_stream.h"

#include "engine/stream/text_reader.h"

#include <vector>

namespace vellum {

ByteStream::ByteStream(Interpreter* ip) : interpreter(ip) {}

// Defined here, where TextReader is complete.
ByteStream::~ByteStream() = default;

void ByteStream::WriteUtf16Le(std::u16string_view text)
{
    std::vector<uint8_t> bytes;
    bytes.reserve(2 * text.size());
    for (const char16_t unit : text) {
        bytes.push_back(static_cast<uint8_t>(unit & 0xFF));
        bytes.push_back(static_cast<uint8_t>(unit >> 8));
    }
    Write(bytes.data(), bytes.size());
}

TextReader& ByteStream::GetTextReader()
{
    if (!textReader) textReader = std::make_unique<TextReader>(interpreter, *this);
    return *textReader;
}

} // namespace vellum
