// How a script file's bytes become its text. The handheld writes scripts
// in UTF-16LE (the start-up script with or without the mark FF FE, an
// included file without the mark one byte per character); a Linux editor
// writes UTF-8. Both are read, and every file the handheld wrote keeps its
// meaning: a UTF-16LE script holds zero bytes (each ASCII character has
// one), a UTF-8 file holds none, and Latin-1 text with accents is never
// valid UTF-8. Bytes that fit none of these (a picture, a program) are no
// script, rather than a text of nonsense identifiers.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace vellum {

enum class ScriptRole : uint8_t {
    // The start-up script, a run's or a compilation's file, the editor's text.
    whole,
    // A file named by an include directive.
    included,
};

// The text of the bytes (the whole content: a token file holds zero
// units, and the lexer itself ends a text at its first zero unit);
// nothing when they are no script text.
std::optional<std::u16string> DecodeScript(std::span<const uint8_t> bytes, ScriptRole role);

} // namespace vellum
