// TComboBox: a drop-down list of the values of "list" (an editable one when
// "type" is "edit"), "comboHeight" pixels tall when opened, with "curPos"
// written back and "OnCurPosChange" called on every selection change.
#pragma once

#include "gui/controls/control_view.h"

namespace vellum::gui {

class ComboBoxView final : public ControlView {
public:
    explicit ComboBoxView(Interpreter& ip);

    // The items, the selection, the font, the height of the opened list
    // (the view grows to it) and the edit part's "text"; a refresh for the
    // desktop keeps what the user typed into the edit part (RefreshCause).
    void Refresh() override;
    // "0123456789" in the font plus the margins.
    int32_t MeasureHeight() override;
    int32_t MeasureWidth() override;
    // The selection-change steps: "curPos" from the control, then "OnCurPosChange".
    void SelectionChanged() override;

    // The selected index; without a control the "curPos" it will show (-1 for none).
    int32_t CurPos();
    // Selects item n, then runs the selection-change steps.
    void SetCurPos(int32_t n);

protected:
    // Works out "comboHeight" unless the script gave it.
    void Created() override;

private:
    // "comboHeight", computed and stored when it is not a number.
    int32_t ComboHeight();
};

// The TComboBox class with GetText, GetCurPos and SetCurPos.
void RegisterComboBoxClass(Interpreter& ip);

} // namespace vellum::gui
