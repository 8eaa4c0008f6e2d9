// What a tab control adds to the control host: its tabs and the current
// one. The bar lies along the bottom edge of the rectangle it is given and
// leaves the rest, the display area, to the pages. Changes made here are
// the program's own: only a tab the user picks sends TabChanged.
#pragma once

#include "platform/controls/native_control.h"

#include <cstdint>
#include <string_view>

namespace vellum::platform {

// Inserts a tab labelled text at index (at most the count); false when it
// cannot be inserted there.
bool InsertTab(NativeControl& tabs, int32_t index, std::u16string_view text);
void SetTabText(NativeControl& tabs, int32_t index, std::u16string_view text);
void DeleteTab(NativeControl& tabs, int32_t index);
// The current tab; -1 when there is none.
int32_t CurrentTab(NativeControl& tabs);
// Makes the tab at index current; an index that names no tab changes nothing.
void SelectTab(NativeControl& tabs, int32_t index);
// Places the bar along the bottom of area, as tall as its font needs (at
// most area's height), and gives the display area above it.
Rect PlaceTabBar(NativeControl& tabs, const Rect& area);

} // namespace vellum::platform
