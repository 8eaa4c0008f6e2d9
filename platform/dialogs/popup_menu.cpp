#include "platform/dialogs/popup_menu.h"

#include "platform/desktop/message_box.h"
#include "platform/window/client_area.h"
#include "platform/window/cursor.h"
#include "platform/window/qt_menu.h"
#include "platform/window/shell_widget.h"

#include <QAction>
#include <QMenu>

namespace vellum::platform {

int32_t TrackPopupMenu(const FormWindow& owner, const MenuLayout& layout, Point clientPoint)
{
    ShellWidget* shell = ShellWidgetOf(owner);
    if (shell == nullptr) return -1;
    if (ConsoleMode()) return 0;
    // Without a parent: a script running while the menu is open may close
    // the form, and the menu must not go with it.
    QMenu menu;
    FillQMenu(menu, layout, [](QAction& action, int32_t id) { action.setData(id); });
    const QPoint at = shell->client->mapToGlobal(QPoint(clientPoint.x, clientPoint.y));
    const SystemPointerScope systemPointer;
    QAction* chosen = nullptr;
    shell->WhileBusy([&] { chosen = menu.exec(at); });
    return chosen != nullptr ? chosen->data().toInt() : 0;
}

} // namespace vellum::platform
