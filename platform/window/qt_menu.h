// A menu of the form's menu model as a Qt menu: the soft-key bar's pop-ups
// and the pop-up menus scripts open at a point are filled the same way.
#pragma once

#include "platform/window/menu_layout.h"

#include <cstdint>
#include <functional>
#include <vector>

class QAction;
class QMenu;

namespace vellum::platform {

// Appends the entries to menu, sub-menus nested; command is told of every
// command's action with its identifier as it is made.
void FillQMenu(QMenu& menu, const std::vector<MenuEntry>& entries,
               const std::function<void(QAction& action, int32_t id)>& command);

} // namespace vellum::platform
