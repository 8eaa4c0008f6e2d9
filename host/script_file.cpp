#include "host/script_file.h"

#include "engine/core/text_codec.h"
#include "engine/lexer/script_encoding.h"

namespace vellum {

ScriptFileText ReadScriptFile(const std::filesystem::path& hostPath)
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(hostPath, error)) return {};
    const std::optional<std::vector<uint8_t>> bytes = ReadWholeFile(hostPath);
    if (!bytes) return {};
    return {true, DecodeScript(*bytes, ScriptRole::whole)};
}

} // namespace vellum
