#include "host/editor/editor_file.h"

#include "engine/core/text_codec.h"

#include <fstream>
#include <system_error>

namespace vellum {

namespace fs = std::filesystem;

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
