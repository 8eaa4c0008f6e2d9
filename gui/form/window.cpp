#include "gui/form/window.h"

#include "engine/core/collector.h"
#include "engine/vm/interpreter.h"
#include "platform/window/message_loop.h"

namespace vellum::gui {

Window::Window(Interpreter& ip_, TableObject* table_) : ip(ip_), table(table_), menu(ip_) {}

// The platform window goes with the object; the tables may be gone already
// when the interpreter ends, so nothing here touches them.
Window::~Window() = default;

void Window::Mark(Collector& collector)
{
    collector.MarkObject(table);
    menu.Mark(collector);
}

bool Window::CreateNativeWindow(platform::FormWindow* owner, std::u16string_view title,
                                platform::TodayHost* todayParent, int32_t todayHeight)
{
    platform::FormWindowOptions options;
    options.title = title;
    options.owner = owner;
    options.todayParent = todayParent;
    options.todayHeight = todayHeight;
    window = platform::FormWindow::Create(*this, options);
    return window != nullptr;
}

void Window::InstallMenuBar(const platform::MenuLayout& choice)
{
    if (platform::FormWindow* w = LiveWindow()) w->InstallMenuBar(choice);
}

void Window::RunModeless()
{
    if (platform::FormWindow* w = LiveWindow()) {
        w->Show();
        w->BringToForeground();
    }
    platform::RunMessageLoop();
}

void Window::RunModal()
{
    if (platform::FormWindow* w = LiveWindow()) {
        w->Show();
        w->DisableOwner();
    }
    platform::RunMessageLoop();
    if (window) window->RestoreOwner();
}

} // namespace vellum::gui
