// The files the script editor writes: UTF-16LE text, replaced whole. (It
// reads scripts as the program does, host/script_file.h.)
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace vellum {

// Writes the text as UTF-16LE, with the mark FF FE when asked. The file
// is replaced whole or not at all; false when it could not be written.
bool WriteUtf16Text(const std::filesystem::path& file, std::u16string_view text, bool withMark);

} // namespace vellum
