// Texts kept in files as bytes: UTF-16LE units or 8-bit text in the
// system's ANSI code page, as shortcuts, value files and registry files
// hold them.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace vellum::system {

// Scripts exchange 8-bit text in the system's ANSI code page.
inline constexpr int32_t kAnsiCodePage = 1252;

enum class TextEnd : uint8_t { atZero, atLastByte };

// Pairs of bytes, low byte first; an odd last byte is ignored.
std::u16string Utf16LeText(std::span<const uint8_t> bytes, TextEnd end);
// One unit per byte through the ANSI code page.
std::u16string AnsiText(std::span<const uint8_t> bytes, TextEnd end);

} // namespace vellum::system
