// Script files: UTF-16LE text, one leading U+FEFF skipped when present, an
// odd last byte ignored. The whole content is kept (token files hold zero
// units); the lexer itself ends a text at its first zero unit.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace vellum {

std::optional<std::u16string> ReadScriptFile(const std::filesystem::path& hostPath);

} // namespace vellum
