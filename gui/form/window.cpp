#include "gui/form/window.h"

#include "engine/core/collector.h"
#include "engine/vm/interpreter.h"
#include "platform/desktop/message_box.h"
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

// A console run whose script failed (in OnCreate, say) does not wait in a
// loop no one can end, nor does a stopped run; ShowForm returns and the
// error unwinds the script.
bool Window::LoopWanted() const
{
    return !(ip.ErrorPending() && (platform::ConsoleMode() || ip.ErrorIdentifier() == errStopped));
}

void Window::RunModeless()
{
    if (!LoopWanted()) return;
    if (platform::FormWindow* w = LiveWindow()) {
        w->Show();
        w->BringToForeground();
    }
    platform::RunMessageLoop(&ip);
}

void Window::RunModal()
{
    if (!LoopWanted()) return;
    if (platform::FormWindow* w = LiveWindow()) {
        w->Show();
        w->DisableOwner();
    }
    platform::RunMessageLoop(&ip);
    if (window) window->RestoreOwner();
}

} // namespace vellum::gui
