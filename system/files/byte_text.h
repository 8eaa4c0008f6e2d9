// Texts kept in files as 8-bit text in the system's ANSI code page, as
// shortcuts, value files and registry files may hold them (their UTF-16LE
// texts decode through core/text_codec.h).
#pragma once

#include "engine/core/text_codec.h"

#include <cstdint>
#include <span>
#include <string>

namespace vellum::system {

// Scripts exchange 8-bit text in the system's ANSI code page.
inline constexpr int32_t kAnsiCodePage = 1252;

// One unit per byte through the ANSI code page.
std::u16string AnsiText(std::span<const uint8_t> bytes, TextEnd end);

} // namespace vellum::system
