// What a combo box adds to the control host: its list, its current
// position and the height of the opened list. Changes made here are the
// program's own: they send no SelectionChanged, as on the handheld only
// the user's choices notify.
#pragma once

#include "platform/controls/native_control.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vellum::platform {

// An editable drop-down (its text can be typed) or a drop-down list.
void SetComboEditable(NativeControl& combo, bool editable);
// Replaces the items and selects the one at selected; an index that names
// no item leaves nothing selected. The edit part of an editable one then
// shows the selected item; without one, or with keepEdited, it keeps what it
// holds (what the user typed, with its selection and caret).
void SetComboItems(NativeControl& combo, const std::vector<std::u16string>& items, int32_t selected,
                   bool keepEdited = false);
// The index of the selected item; -1 when none is.
int32_t ComboSelection(NativeControl& combo);
// Selects the item at index; an index that names no item clears the selection.
void SelectComboItem(NativeControl& combo, int32_t index);
// Places the combo box on whole (inclusive), which holds the closed field
// and the opened list below it: the field keeps the height its font needs,
// the list shows as many rows as fit into the rest (at least one).
void PlaceComboBox(NativeControl& combo, const Rect& whole);

} // namespace vellum::platform
