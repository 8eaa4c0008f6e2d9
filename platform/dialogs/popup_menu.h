// A pop-up menu opened at a point of a form window, as scripts open one
// over their views: it blocks until the user chooses or dismisses it.
#pragma once

#include "platform/draw/geometry.h"
#include "platform/window/form_window.h"
#include "platform/window/menu_layout.h"

#include <cstdint>

namespace vellum::platform {

// Opens the menu with its top left at the client point of the owner and
// gives the chosen command's identifier: 0 when the user dismissed the
// menu (and at once in console mode, where nobody can choose), -1 when it
// cannot be opened because the window is gone.
int32_t TrackPopupMenu(const FormWindow& owner, const MenuLayout& menu, Point clientPoint);

} // namespace vellum::platform
