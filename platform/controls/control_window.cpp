// The binding of control widgets to the NativeWindow their view knows them
// by, kept as a property of the widget.
#include "platform/controls/control_window.h"

#include "platform/window/shell_widget.h"

#include <QVariant>
#include <QWidget>

namespace vellum::platform {

namespace {

constexpr char kControlWindowProperty[] = "vellumNativeWindow";

} // namespace

void BindControlWindow(QWidget& control, NativeWindow& window)
{
    control.setProperty(kControlWindowProperty, QVariant::fromValue(static_cast<void*>(&window)));
}

NativeWindow* ControlWindowOf(QWidget* widget)
{
    for (; widget != nullptr && dynamic_cast<ShellWidget*>(widget) == nullptr; widget = widget->parentWidget()) {
        const QVariant bound = widget->property(kControlWindowProperty);
        if (bound.isValid()) return static_cast<NativeWindow*>(bound.value<void*>());
    }
    return nullptr;
}

} // namespace vellum::platform
