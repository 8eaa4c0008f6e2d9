// The control host: a native control (a Qt widget) made as a child of a
// form window's client area, placed in client pixels and reporting to a
// ControlHandler. The built-in editor uses the same host for the one
// control that fills its window's client area. Nothing of Qt shows here.
#pragma once

#include "platform/draw/geometry.h"
#include "platform/window/native_window.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace vellum::platform {

class ControlHandler;
class FormWindow;

// The kinds of native control. A new kind is one more entry here and one
// more maker in control_kinds.cpp.
enum class ControlKind {
    Button,    // a push button; its text is the caption (button_control.h)
    ComboBox,  // a drop-down list, editable or not (combo_control.h)
    ScrollBar, // a scroll bar of either orientation (scroll_control.h)
    Tabs,      // a tab bar along the bottom edge (tab_control.h)
    LineEdit,  // a single-line edit (edit_control.h); its text is the contents
    TextEdit,  // a multi-line edit (edit_control.h)
    ScriptText, // the script editor's text (editor/script_text.h)
};

// As a NativeWindow it is the control's own window: the view of the
// control keeps it as its window, and the form finds the view by it.
class NativeControl final : public NativeWindow {
public:
    // A hidden control in the client area of form; none once form is destroyed.
    static std::unique_ptr<NativeControl> Create(FormWindow& form, ControlKind kind, ControlHandler& handler);
    ~NativeControl() override;
    NativeControl(const NativeControl&) = delete;
    NativeControl& operator=(const NativeControl&) = delete;

    void Invalidate(const Rect& r) override;
    void TakeFocus() override;
    bool HasFocus() const override;

    // False once the form window took the control with it; every operation
    // then does nothing.
    bool Alive() const;
    ControlKind Kind() const { return kind; }
    // Places the control on r (client pixels, inclusive edges).
    void Move(const Rect& r);
    void Show(bool shown);
    bool Shown() const;
    // The same font description the canvas draws text with.
    void SetFont(const FontChoice& font);
    // The window text: a button's caption, an edit's contents.
    void SetText(std::u16string_view text);
    std::u16string Text() const;

    struct Widget;
    // The platform layer's own way to the control's widget (control_bridge.h).
    friend Widget& WidgetOf(NativeControl& control);

private:
    NativeControl(ControlKind kind, std::unique_ptr<Widget> widget);

    ControlKind kind;
    std::unique_ptr<Widget> widget;
    // Every layout pushes the view's font again; an unchanged one costs nothing.
    std::optional<FontChoice> font;
};

} // namespace vellum::platform
