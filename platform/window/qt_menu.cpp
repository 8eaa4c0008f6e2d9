#include "platform/window/qt_menu.h"

#include "platform/qt_convert.h"

#include <QAction>
#include <QMenu>

namespace vellum::platform {

void FillQMenu(QMenu& menu, const std::vector<MenuEntry>& entries,
               const std::function<void(QAction& action, int32_t id)>& command)
{
    for (const MenuEntry& entry : entries) {
        switch (entry.kind) {
        case MenuEntry::Kind::Command: {
            QAction& action = *menu.addAction(ToQString(entry.text));
            if (entry.checked) {
                action.setCheckable(true);
                action.setChecked(*entry.checked);
            }
            if (entry.enabled) action.setEnabled(*entry.enabled);
            command(action, entry.id);
            break;
        }
        case MenuEntry::Kind::Popup:
            FillQMenu(*menu.addMenu(ToQString(entry.text)), entry.items, command);
            break;
        case MenuEntry::Kind::Separator:
            menu.addSeparator();
            break;
        }
    }
}

} // namespace vellum::platform
