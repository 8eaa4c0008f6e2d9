// The common part of the views whose content is a native control (TButton,
// TComboBox, TScrollBar, TEdit): the control is made in the form's window
// when the view is arranged, placed on the view's content rectangle with
// its style's font on every refresh, shown and hidden with the view and
// destroyed with it. The control notifies this view, which runs its own
// handlers; a view the tree no longer holds has left its window, and its
// control with it, so it hears nothing more.
#pragma once

#include "gui/style/style.h"
#include "gui/view/view.h"
#include "platform/controls/control_handler.h"
#include "platform/controls/native_control.h"
#include "platform/window/form_window.h"

#include <memory>

namespace vellum::gui {

class ControlView : public View, public platform::ControlHandler {
public:
    ControlView(Interpreter& ip, platform::ControlKind kind);

    // Destroys the control.
    void Release() override;
    void LeaveWindow() override { Release(); }
    // Makes the control in hostWindow (a form's window; none without one),
    // then Created and Refresh push the properties and place it.
    void Arrange(platform::NativeWindow* hostWindow) override;
    void Show() override;
    void Hide() override;
    // A native control takes the keyboard focus and its keys.
    bool TakesKeys() override { return true; }

    // The control; none before the view is arranged in a form's window.
    platform::NativeControl* Control() const { return control.get(); }

    // A click runs the view's OnClick operation (its "OnClick", else its
    // parents'); a text change its "OnChange". The controls with more to
    // tell handle it in their own views.
    void Clicked() override;
    void TextChanged() override;

protected:
    // The control Arrange makes; TEdit chooses one or many lines then.
    virtual platform::ControlKind KindToMake() { return kind; }
    // Runs once the control exists, before the first Refresh: what only
    // creation sets.
    virtual void Created() {}
    // True while Arrange makes and fills the control.
    bool Arranging() const { return arranging; }
    // The font the control shows: the style's; TEdit sizes an automatic one.
    virtual FontRecord ControlFont();
    // Gives the control the font of ControlFont.
    void PushFont();
    // Places the control on the content rectangle.
    void MoveToContent();

private:
    const platform::ControlKind kind;
    std::unique_ptr<platform::NativeControl> control;
    bool arranging = false;
};

// The natural size of a caption in the style's font plus the margins and
// extra pixels on each axis (0 for none).
platform::Size CaptionSize(View& view, std::u16string_view caption, int32_t extra);

} // namespace vellum::gui
