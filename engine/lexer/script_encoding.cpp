#include "engine/lexer/script_encoding.h"

#include "engine/core/text_codec.h"
#include "engine/core/unicode.h"
#include "engine/lexer/token.h"

#include <algorithm>

namespace vellum {

namespace {

bool StartsWithUtf8Mark(std::span<const uint8_t> bytes)
{
    return bytes.size() >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF;
}

// A token file written without a mark opens with its unit's two bytes.
bool StartsWithTokenUnit(std::span<const uint8_t> bytes)
{
    return bytes.size() >= 2 && Utf16LeUnit(bytes[0], bytes[1]) == token::kTokenFileUnit;
}

std::optional<std::u16string> Utf8Text(std::span<const uint8_t> bytes)
{
    const std::string_view eight(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (!IsUtf8(eight)) return std::nullopt;
    return FromUtf8(eight);
}

// Text ends at its first zero; whatever follows a zero must be zeros too
// (padding), or the bytes are some binary format.
template <typename Unit>
bool OnlyZerosAfterFirstZero(std::basic_string_view<Unit> units)
{
    const size_t zero = units.find(Unit(0));
    return zero == units.npos ||
           std::all_of(units.begin() + static_cast<std::ptrdiff_t>(zero), units.end(), [](Unit u) { return u == 0; });
}

// Units a text may hold: no control characters but the line and page
// breaks and tabs, no surrogate without its partner.
bool PlausibleText(std::u16string_view text)
{
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c == 0) return true;
        if (c < 0x20 && (c < u'\t' || c > u'\r')) return false;
        // A mark with its bytes swapped: UTF-16BE, or no text at all.
        if (c == 0xFFFE || c == 0xFFFF) return false;
        if (c >= 0xD800 && c < 0xDC00) {
            if (i + 1 >= text.size() || text[i + 1] < 0xDC00 || text[i + 1] >= 0xE000) return false;
            ++i;
        } else if (c >= 0xDC00 && c < 0xE000) {
            return false;
        }
    }
    return true;
}

// Without a mark, zero bytes mean UTF-16LE (odd last byte ignored).
std::optional<std::u16string> UnmarkedUtf16(std::span<const uint8_t> bytes)
{
    std::u16string text = DecodeUtf16Le(bytes);
    if (!OnlyZerosAfterFirstZero<char16_t>(text) || !PlausibleText(text)) return std::nullopt;
    return text;
}

// One byte per character, as the handheld reads an included file.
std::optional<std::u16string> Latin1Text(std::span<const uint8_t> bytes)
{
    const std::string_view eight(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (!OnlyZerosAfterFirstZero<char>(eight)) return std::nullopt;
    return std::u16string(bytes.begin(), bytes.end());
}

} // namespace

std::optional<std::u16string> DecodeScript(std::span<const uint8_t> bytes, ScriptRole role)
{
    if (StartsWithTokenUnit(bytes)) {
        return role == ScriptRole::whole ? DecodeUtf16Le(bytes) : std::u16string(bytes.begin(), bytes.end());
    }
    // An included file's mark counts only with text after it; two bytes alone are Latin-1.
    if (StartsWithUtf16LeMark(bytes) && (role == ScriptRole::whole || bytes.size() > 2)) {
        return DecodeUtf16Le(bytes.subspan(2));
    }
    if (StartsWithUtf8Mark(bytes)) return Utf8Text(bytes.subspan(3));
    const bool hasZero = std::find(bytes.begin(), bytes.end(), 0) != bytes.end();
    if (role == ScriptRole::whole) return hasZero ? UnmarkedUtf16(bytes) : Utf8Text(bytes);
    const bool eightBit = std::any_of(bytes.begin(), bytes.end(), [](uint8_t b) { return b >= 0x80; });
    if (eightBit && !hasZero) {
        if (auto text = Utf8Text(bytes)) return text;
    }
    return Latin1Text(bytes);
}

} // namespace vellum
