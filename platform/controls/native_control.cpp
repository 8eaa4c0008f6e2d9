// The control host's facade: a control is made in the client area of its
// form window and bound to its NativeControl, so the form also learns when
// the keyboard focus moves to it. Every operation checks that the widget is
// still there: the form window takes its controls with it when it goes.
#include "platform/controls/native_control.h"

#include "platform/controls/control_bridge.h"
#include "platform/controls/control_kinds.h"
#include "platform/controls/control_window.h"
#include "platform/draw/qt_font.h"
#include "platform/qt_convert.h"
#include "platform/window/client_area.h"
#include "platform/window/shell_widget.h"

namespace vellum::platform {

std::unique_ptr<NativeControl> NativeControl::Create(FormWindow& form, ControlKind kind, ControlHandler& handler)
{
    ShellWidget* shell = ShellWidgetOf(form);
    if (shell == nullptr) return nullptr;
    const ControlKindTraits& traits = TraitsOf(kind);
    QWidget* widget = traits.make(*shell->client);
    widget->hide();
    auto* bridge = new ControlBridge(*widget, handler);
    traits.connect(*widget, *bridge);
    std::unique_ptr<NativeControl> control(new NativeControl(kind, std::make_unique<Widget>(Widget{widget, bridge})));
    BindControlWindow(*widget, *control);
    return control;
}

NativeControl::NativeControl(ControlKind kind_, std::unique_ptr<Widget> widget_)
    : kind(kind_), widget(std::move(widget_))
{
}

NativeControl::~NativeControl()
{
    if (widget->bridge != nullptr) widget->bridge->Retire();
}

NativeControl::Widget& WidgetOf(NativeControl& control) { return *control.widget; }

bool NativeControl::Alive() const { return widget->widget != nullptr; }

void NativeControl::Invalidate(const Rect& r)
{
    if (Alive()) widget->widget->update(ToQRect(r));
}

void NativeControl::TakeFocus()
{
    if (Alive()) widget->widget->setFocus(Qt::OtherFocusReason);
}

bool NativeControl::HasFocus() const
{
    return Alive() && widget->widget->window()->focusWidget() == widget->widget;
}

void NativeControl::Move(const Rect& r)
{
    if (Alive()) widget->widget->setGeometry(ToQRect(r));
}

void NativeControl::Show(bool shown)
{
    if (Alive()) widget->widget->setVisible(shown);
}

bool NativeControl::Shown() const { return Alive() && !widget->widget->isHidden(); }

void NativeControl::SetFont(const FontChoice& choice)
{
    if (!Alive() || font == choice) return;
    font = choice;
    widget->widget->setFont(QtFont(choice));
}

void NativeControl::SetText(std::u16string_view text)
{
    if (Alive()) TraitsOf(kind).setText(*widget->widget, ToQString(text));
}

std::u16string NativeControl::Text() const
{
    return Alive() ? ToU16String(TraitsOf(kind).text(*widget->widget)) : std::u16string{};
}

} // namespace vellum::platform
