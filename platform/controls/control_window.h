// How the form learns which native control (a Qt widget inside its client
// area) took the keyboard focus: each control widget is bound to the
// NativeWindow its view knows it by, and the shell names that window to the
// form window's handler (FocusMovedTo). The control host binds every
// control it makes; this header is for the Qt side of the platform layer
// and its tests. A control's notifications go straight to the handler that
// made it (ControlHandler).
#pragma once

#include "platform/window/form_window.h"


class QWidget;

namespace vellum::platform {

void BindControlWindow(QWidget& control, NativeWindow& window);
// The NativeWindow of the control widget holds, or of the nearest control
// it lies inside; none when it lies in no bound control.
NativeWindow* ControlWindowOf(QWidget* widget);

} // namespace vellum::platform
