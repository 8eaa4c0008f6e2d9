// Script files as the program reads a whole script (the start-up script,
// a compilation's file, the editor's text): UTF-16LE or UTF-8, as
// engine/lexer/script_encoding.h decides. The whole content is kept
// (token files hold zero units); the lexer itself ends a text at its
// first zero unit.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace vellum {

struct ScriptFileText {
    // A regular file was there and could be read.
    bool found = false;
    // Its text; nothing when the file is no script text.
    std::optional<std::u16string> text;
};

ScriptFileText ReadScriptFile(const std::filesystem::path& hostPath);

} // namespace vellum
