#include "host/editor/editor_file.h"

#include "engine/core/text_codec.h"
#include "engine/core/unicode.h"
#include "system/files/byte_text.h"

#include <algorithm>
#include <fstream>
#include <system_error>

namespace vellum {

namespace fs = std::filesystem;

namespace {

// Valid UTF-8 survives the trip to UTF-16 and back unchanged.
bool IsUtf8(std::string_view bytes) { return ToUtf8(FromUtf8(bytes)) == bytes; }

} // namespace

std::optional<std::u16string> ReadEditorText(const fs::path& file)
{
    std::error_code error;
    if (!fs::is_regular_file(file, error)) return std::nullopt;
    const std::optional<std::vector<uint8_t>> bytes = ReadWholeFile(file);
    if (!bytes) return std::nullopt;
    const std::span<const uint8_t> all(*bytes);
    if (StartsWithUtf16LeMark(all)) return DecodeUtf16Le(all.subspan(2), TextEnd::atZero);
    if (all.size() >= 2 && all[0] == 0xFE && all[1] == 0xFF) {
        // Big-endian after its mark: the same units with each pair's bytes swapped.
        std::vector<uint8_t> swapped(all.begin() + 2, all.end() - (all.size() % 2));
        for (size_t i = 0; i + 1 < swapped.size(); i += 2) std::swap(swapped[i], swapped[i + 1]);
        return DecodeUtf16Le(swapped, TextEnd::atZero);
    }
    if (std::find(all.begin(), all.end(), 0) != all.end()) return DecodeUtf16Le(all, TextEnd::atZero);
    const std::string_view eight(reinterpret_cast<const char*>(bytes->data()), bytes->size());
    if (IsUtf8(eight)) return FromUtf8(eight);
    return system::AnsiText(all, TextEnd::atZero);
}

bool WriteUtf16Text(const fs::path& file, std::u16string_view text, bool withMark)
{
    // Written beside the file first, so a failed write leaves the old one.
    fs::path part = file;
    part += ".part";
    {
        std::ofstream out(part, std::ios::binary | std::ios::trunc);
        if (!out) return false;
        if (withMark) out.write("\xFF\xFE", 2);
        const std::vector<uint8_t> bytes = EncodeUtf16Le(text);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) {
            std::error_code ignored;
            fs::remove(part, ignored);
            return false;
        }
    }
    std::error_code error;
    fs::rename(part, file, error);
    if (!error) return true;
    fs::remove(part, error);
    return false;
}

} // namespace vellum
