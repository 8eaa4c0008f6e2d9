// A form's menu, built from the script's menu array: sub-menu entries
// ("menu" and "items") become pop-ups, command entries ("item") commands
// numbered from 100 in array order, depth first, each identifier written
// back into its entry's "id"; anything else is a separator. Before a pop-up
// opens, every command is brought up to date ("check", "enable", and
// "item" when it is a function); a command runs its entry's "action".
#pragma once

#include "engine/core/table_object.h"
#include "platform/window/form_window.h"
#include "platform/window/menu_layout.h"

#include <cstdint>

namespace vellum {
class Collector;
class Interpreter;
} // namespace vellum

namespace vellum::gui {

class MenuModel {
public:
    static constexpr int32_t kFirstCommand = 100;

    explicit MenuModel(Interpreter& ip) : ip(ip) {}

    void Mark(Collector& collector);
    // Takes menu as the current menu and builds what its window shows.
    platform::MenuLayout Build(TableObject* menu);
    // Brings the window's items up to date with their entries.
    void Update(platform::FormWindow& window);
    // Calls the "action" of the first entry (depth first) whose "id" is id;
    // false when no entry has it.
    bool Dispatch(int32_t id);
    bool Exists() const { return menu != nullptr; }

private:
    void BuildEntries(TableObject* entries, std::vector<platform::MenuEntry>& out, int depth);
    void UpdateEntries(TableObject* entries, platform::FormWindow& window, int depth);
    bool DispatchIn(TableObject* entries, int32_t id, int depth);

    Interpreter& ip;
    TableObject* menu = nullptr;
    int32_t nextId = kFirstCommand;
};

} // namespace vellum::gui
