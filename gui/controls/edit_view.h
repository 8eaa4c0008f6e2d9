// TEdit: a view whose content is the edit control (a native control in the
// form's window), single- or multi-line as its properties say when it is
// made. The control holds the text, the selection and the undo; the view
// pushes the properties into it on every refresh and turns its text
// changes into "OnChange".
#pragma once

#include "gui/style/style.h"
#include "gui/view/view.h"
#include "platform/controls/control_handler.h"
#include "platform/controls/edit_control.h"
#include "platform/controls/native_control.h"

#include <memory>
#include <optional>
#include <string>

namespace vellum::gui {

class EditView final : public View, public platform::ControlHandler {
public:
    explicit EditView(Interpreter& ip);

    // Destroys the control.
    void Release() override;
    // Makes the control in a form's window (none without one): border,
    // text, then what every refresh pushes.
    void Arrange(platform::NativeWindow* hostWindow) override;
    // Style, font and place; the "text" property when it is not null.
    void Refresh() override;
    // "1234567890" in the style's font, the margins and 2 pixels.
    int32_t MeasureHeight() override;
    void Show() override;
    void Hide() override;

    void TextChanged() override;

    // The control; none before the view is arranged in a form's window.
    platform::NativeControl* Control() const { return control.get(); }
    platform::EditControl Edit() const { return platform::EditControl(control.get()); }

private:
    // A bool property; def when it is missing or of another type.
    bool Flag(std::u16string_view name, bool def);
    // "multiLine", else true when "vScroll" or "hScroll" is.
    bool WantsMultiLine();
    platform::EditStyle WindowStyle();
    // "text" rendered as text; nothing when it is null.
    std::optional<std::u16string> TextProperty();
    // The style's font; an automatic size on one line follows the height.
    FontRecord ControlFont();

    std::unique_ptr<platform::NativeControl> control;
    bool multiLine = false;
    // The text the control is made with is no change to report.
    bool arranging = false;
};

} // namespace vellum::gui
