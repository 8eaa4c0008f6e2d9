#include "system/shell/shortcut.h"

#include "system/files/byte_text.h"

#include <algorithm>

namespace vellum::system {

namespace {

// Shell ids that resolve to shell ids: real ones go one level deep.
constexpr int kMaxShellIdDepth = 8;

std::u16string WithoutControls(std::u16string_view text)
{
    std::u16string out;
    for (const char16_t c : text) {
        if (c >= 32) out += c;
    }
    return out;
}

size_t EndOfWord(std::u16string_view text) { return std::min(text.find_first_of(u" ?"), text.size()); }

} // namespace

std::u16string ShortcutText(const std::vector<uint8_t>& bytes)
{
    const bool marked = StartsWithUtf16LeMark(bytes) || (bytes.size() >= 2 && bytes[0] == 0);
    if (marked || (bytes.size() >= 2 && bytes[1] == 0)) {
        return DecodeUtf16Le(std::span(bytes).subspan(marked ? 2 : 0), TextEnd::atZero);
    }
    return AnsiText(bytes, TextEnd::atZero);
}

std::optional<Shortcut> ParseShortcut(std::u16string_view text, const ShellIdLookup& lookup)
{
    size_t digits = 0;
    while (digits < text.size() && text[digits] >= u'0' && text[digits] <= u'9') ++digits;
    if (digits >= text.size() || text[digits] != u'#') return std::nullopt;
    std::u16string command(text.substr(digits + 1));

    for (int depth = 0; !command.empty() && command.front() == u':'; ++depth) {
        if (depth == kMaxShellIdDepth) return std::nullopt;
        const size_t end = EndOfWord(command);
        std::optional<std::u16string> resolved = lookup(std::u16string_view(command).substr(0, end));
        if (!resolved) return std::nullopt;
        command = *resolved + command.substr(end);
    }

    std::u16string_view rest(command);
    Shortcut shortcut;
    if (!rest.empty() && rest.front() == u'"') {
        const size_t close = std::min(rest.find(u'"', 1), rest.size());
        shortcut.program = WithoutControls(rest.substr(1, close - 1));
        rest.remove_prefix(std::min(close + 1, rest.size()));
    } else {
        const size_t end = EndOfWord(rest);
        shortcut.program = WithoutControls(rest.substr(0, end));
        rest.remove_prefix(end);
    }
    while (!rest.empty() && rest.front() == u' ') rest.remove_prefix(1);
    shortcut.arguments = WithoutControls(rest.substr(0, std::min(rest.find(u'?'), rest.size())));
    return shortcut;
}

} // namespace vellum::system
