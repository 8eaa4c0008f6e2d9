// A menu as the form hands it to its window's soft-key bar: the top-level
// entries become keys (a command is a key, a pop-up opens its menu above
// the bar); pop-ups nest. Commands are known by their identifiers.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vellum::platform {

struct MenuEntry {
    enum class Kind { Command, Popup, Separator };
    Kind kind = Kind::Separator;
    int32_t id = 0; // commands only
    std::u16string text;
    // Commands only: the entry's "check" and "enable" when the script gave bools.
    std::optional<bool> checked;
    std::optional<bool> enabled;
    std::vector<MenuEntry> items; // pop-ups only
};

using MenuLayout = std::vector<MenuEntry>;

} // namespace vellum::platform
