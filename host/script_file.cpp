#include "host/script_file.h"

#include "engine/core/text_codec.h"

namespace vellum {

std::optional<std::u16string> ReadScriptFile(const std::filesystem::path& hostPath)
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(hostPath, error)) return std::nullopt;
    const std::optional<std::vector<uint8_t>> bytes = ReadWholeFile(hostPath);
    if (!bytes) return std::nullopt;
    std::u16string text = DecodeUtf16Le(*bytes);
    if (!text.empty() && text.front() == u'\uFEFF') text.erase(0, 1);
    return text;
}

} // namespace vellum
