#include "host/script_file.h"

#include <cstdio>
#include <memory>

namespace vellum {

std::optional<std::u16string> ReadScriptFile(const std::filesystem::path& hostPath)
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(hostPath, error)) return std::nullopt;
    struct Closer {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };
    const std::unique_ptr<std::FILE, Closer> file(std::fopen(hostPath.c_str(), "rb"));
    if (!file) return std::nullopt;
    std::string bytes;
    char chunk[65536];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, file.get())) > 0) bytes.append(chunk, n);
    if (std::ferror(file.get())) return std::nullopt;
    std::u16string text;
    text.reserve(bytes.size() / 2);
    // Units are little-endian pairs; an odd last byte has no partner and is dropped.
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        text += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                      (static_cast<unsigned char>(bytes[i + 1]) << 8));
    }
    if (!text.empty() && text.front() == u'\uFEFF') text.erase(0, 1);
    return text;
}

} // namespace vellum
