// Files as the tests write and read them: whole byte strings, and scripts
// as the handheld saves them (UTF-16LE after a byte-order mark).
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

namespace vellum::test {

inline void WriteBytes(const std::filesystem::path& file, std::string_view bytes)
{
    std::ofstream(file, std::ios::binary) << bytes;
}

inline std::string ReadBytes(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The UTF-16LE bytes of a text, after the byte-order mark when asked.
inline std::string Utf16Le(std::u16string_view text, bool mark = true)
{
    std::string bytes = mark ? "\xFF\xFE" : "";
    for (const char16_t unit : text) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
}

// ASCII, a character a unit.
inline std::string Utf16Le(std::string_view ascii, bool mark = true)
{
    return Utf16Le(std::u16string(ascii.begin(), ascii.end()), mark);
}

inline void WriteScript(const std::filesystem::path& file, std::string_view ascii, bool mark = true)
{
    WriteBytes(file, Utf16Le(ascii, mark));
}

} // namespace vellum::test
