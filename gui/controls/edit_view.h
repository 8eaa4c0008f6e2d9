// TEdit: a view whose content is the edit control (a native control in the
// form's window), single- or multi-line as its properties say when it is
// made. The control holds the text, the selection and the undo; the view
// pushes the properties into it on every refresh a script asks for (the
// desktop's keep what the user typed) and turns its text changes into
// "OnChange".
#pragma once

#include "gui/controls/control_view.h"
#include "platform/controls/edit_control.h"

#include <optional>
#include <string>

namespace vellum::gui {

class EditView final : public ControlView {
public:
    explicit EditView(Interpreter& ip);

    // Style, font and place; the "text" property when it is not null,
    // unless the refresh is the desktop's (RefreshCause).
    void Refresh() override;
    // "1234567890" in the style's font, the margins and 2 pixels.
    int32_t MeasureHeight() override;

    // The text the control is made with is no change to report.
    void TextChanged() override;

    platform::EditControl Edit() const { return platform::EditControl(Control()); }

protected:
    // One line or many, as the properties say when the control is made.
    platform::ControlKind KindToMake() override;
    // Border and first text: what only creation sets.
    void Created() override;
    // The style's font; an automatic size on one line follows the height.
    FontRecord ControlFont() override;

private:
    // A bool property; def when it is missing or of another type.
    bool Flag(std::u16string_view name, bool def);
    // "multiLine", else true when "vScroll" or "hScroll" is.
    bool WantsMultiLine();
    platform::EditStyle WindowStyle();
    // "text" rendered as text; nothing when it is null.
    std::optional<std::u16string> TextProperty();

    bool multiLine = false;
};

} // namespace vellum::gui
