#include "engine/core/text_codec.h"

#include <memory>

namespace vellum {

std::u16string DecodeUtf16Le(std::span<const uint8_t> bytes, TextEnd end)
{
    std::u16string text;
    text.reserve(bytes.size() / 2);
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const char16_t unit = Utf16LeUnit(bytes[i], bytes[i + 1]);
        if (unit == 0 && end == TextEnd::atZero) break;
        text += unit;
    }
    return text;
}

std::vector<uint8_t> EncodeUtf16Le(std::u16string_view text)
{
    std::vector<uint8_t> bytes;
    bytes.reserve(text.size() * 2);
    for (const char16_t unit : text) {
        bytes.push_back(static_cast<uint8_t>(unit & 0xFF));
        bytes.push_back(static_cast<uint8_t>(unit >> 8));
    }
    return bytes;
}

std::optional<std::vector<uint8_t>> ReadRest(std::FILE* file)
{
    std::vector<uint8_t> bytes;
    uint8_t chunk[65536];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.insert(bytes.end(), chunk, chunk + n);
    if (std::ferror(file)) return std::nullopt;
    return bytes;
}

std::optional<std::vector<uint8_t>> ReadWholeFile(const std::filesystem::path& path)
{
    struct Closer {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };
    const std::unique_ptr<std::FILE, Closer> file(std::fopen(path.c_str(), "rb"));
    if (!file) return std::nullopt;
    return ReadRest(file.get());
}

} // namespace vellum
