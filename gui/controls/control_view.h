// The common part of the views whose content is a native control (TButton,
// TComboBox, TScrollBar, TEdit): the control is made in the form's window
// when the view is arranged, placed on the view's content rectangle with
// its style's font on every refresh, shown and hidden with the view and
// destroyed with it. Its notifications reach the view through the form, as
// a control's notifications reach its parent window on the handheld, so a
// control the tree no longer holds notifies nobody.
#pragma once

#include "gui/form/control_events.h"
#include "gui/style/style.h"
#include "gui/view/view.h"
#include "platform/controls/control_handler.h"
#include "platform/controls/native_control.h"
#include "platform/window/form_window.h"

#include <memory>

namespace vellum::gui {

class ControlView : public View, public platform::ControlHandler, public ControlEventTarget {
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

    // The notifications go to the form, which finds this view by its window.
    void Clicked() override;
    void TextChanged() override;
    void SelectionChanged() override;
    void Scrolled(int32_t code) override;
    void TabChanged() override;

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
    void Notify(platform::ControlEvent event, int32_t code = 0);

    const platform::ControlKind kind;
    std::unique_ptr<platform::NativeControl> control;
    bool arranging = false;
};

// The natural size of a caption in the style's font plus the margins and
// extra pixels on each axis (0 for none).
platform::Size CaptionSize(View& view, std::u16string_view caption, int32_t extra);

} // namespace vellum::gui
