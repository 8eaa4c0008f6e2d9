// Shortcut files (.lnk): a decimal length, "#", then a command line, such
// as 22#"\Windows\a.exe" -x?icon. What follows "?" names the icon and is
// not part of the command. A command line that starts with ":" names a
// shell id, which the registry turns into a command line of its own.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vellum::system {

struct Shortcut {
    std::u16string program;
    std::u16string arguments;
};

// The text of a shortcut file: UTF-16LE after FF FE or when its first byte
// is 0 (the two bytes are dropped in both cases) or when its second byte
// is 0; otherwise the ANSI code page 1252. The text ends at a zero unit.
std::u16string ShortcutText(const std::vector<uint8_t>& bytes);

// The command line a shell id (":CALENDAR") stands for; none when unknown.
using ShellIdLookup = std::function<std::optional<std::u16string>(std::u16string_view id)>;

// The program and arguments of a shortcut text; none when the text is not
// a shortcut or names a shell id that cannot be resolved (a chain of ids
// longer than a few links counts as unresolved, so ids naming each other
// cannot loop).
std::optional<Shortcut> ParseShortcut(std::u16string_view text, const ShellIdLookup& lookup);

} // namespace vellum::system
