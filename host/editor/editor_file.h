// The files of the script editor: scripts the user opens, whatever their
// encoding, and the UTF-16LE text it writes.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace vellum {

// A script as the user may have it: UTF-16LE after the mark FF FE (or
// UTF-16BE after FE FF), or
// without a mark when the bytes hold zeros (ASCII text in UTF-16LE does),
// else 8-bit text: UTF-8 when the bytes are valid UTF-8, otherwise the
// system's ANSI code page. The text ends at its first zero unit, as the
// lexer reads it. Nothing when the file cannot be read.
std::optional<std::u16string> ReadEditorText(const std::filesystem::path& file);

// Writes the text as UTF-16LE, with the mark FF FE when asked. The file
// is replaced whole or not at all; false when it could not be written.
bool WriteUtf16Text(const std::filesystem::path& file, std::u16string_view text, bool withMark);

} // namespace vellum
