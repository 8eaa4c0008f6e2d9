// The base of the program's windows (forms, and the built-in editor): the
// script table behind the window, the platform window itself and its menu.
// The window's events arrive through the FormWindowHandler operations,
// which do nothing here; the form overrides them.
#pragma once

#include "engine/core/gc_object.h"
#include "engine/core/table_object.h"
#include "gui/form/menu_model.h"
#include "platform/window/form_window.h"

#include <cstdint>
#include <memory>
#include <string_view>

namespace vellum {
class Interpreter;
}

namespace vellum::gui {

class Window : public GcObject, public platform::FormWindowHandler {
public:
    // table is the script table behind the window, which it keeps alive.
    Window(Interpreter& ip, TableObject* table);
    ~Window() override;

    // Keeps the table and the menu array alive.
    void Mark(Collector& collector) override;

    // Makes the window; false when no window can be made (no display).
    bool CreateNativeWindow(platform::FormWindow* owner, std::u16string_view title,
                            platform::TodayHost* todayParent = nullptr, int32_t todayHeight = 0);
    void InstallMenuBar(const platform::MenuLayout& menu);
    // Shows the window, brings it forward and runs its loop.
    void RunModeless();
    // Shows the window with its owner disabled for as long as the loop runs.
    void RunModal();
    bool HasMenu() const { return menu.Exists(); }

    // The window while it exists.
    platform::FormWindow* LiveWindow() const { return window && window->Alive() ? window.get() : nullptr; }

    Interpreter& ip;
    TableObject* const table;

protected:
    std::unique_ptr<platform::FormWindow> window;
    MenuModel menu;

private:
    bool LoopWanted() const;
    // The window's loop, which ends once the window is gone.
    void RunLoop();
};

} // namespace vellum::gui
