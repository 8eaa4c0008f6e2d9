// Text kept in files as bytes: UTF-16LE units, and whole files read into
// memory. Every reader of such files decodes through these, so the byte
// order, an odd last byte and a failed read mean the same everywhere.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vellum {

// Where a text kept in bytes ends: at its first zero unit, or with the bytes.
enum class TextEnd : uint8_t { atZero, atLastByte };

constexpr char16_t Utf16LeUnit(uint8_t low, uint8_t high) { return static_cast<char16_t>(low | high << 8); }

// The byte-order mark FF FE opens the bytes.
inline bool StartsWithUtf16LeMark(std::span<const uint8_t> bytes)
{
    return bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE;
}

// Pairs of bytes, low byte first; an odd last byte is ignored. A mark is
// text like any other here: callers that skip it pass the bytes after it.
std::u16string DecodeUtf16Le(std::span<const uint8_t> bytes, TextEnd end = TextEnd::atLastByte);
// The units as pairs of bytes, low byte first, without a mark or an end.
std::vector<uint8_t> EncodeUtf16Le(std::u16string_view text);

// The rest of an open file; nothing when reading fails (a directory opens
// but cannot be read).
std::optional<std::vector<uint8_t>> ReadRest(std::FILE* file);
// The whole file; nothing when it cannot be opened or read.
std::optional<std::vector<uint8_t>> ReadWholeFile(const std::filesystem::path& path);

} // namespace vellum
