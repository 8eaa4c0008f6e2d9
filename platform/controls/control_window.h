// How the native controls of a form (Qt widgets inside its client area)
// reach the form, as a control's notifications reach its parent window on
// the handheld: each control widget is bound to the NativeWindow its view
// knows it by, and its notifications and focus changes travel to the
// handler of the form window it lies in. The control host binds every
// control it makes; this header is for the Qt side of the platform layer
// and its tests.
#pragma once

#include "platform/window/form_window.h"

#include <cstdint>

class QWidget;

namespace vellum::platform {

void BindControlWindow(QWidget& control, NativeWindow& window);
// The NativeWindow of the control widget holds, or of the nearest control
// it lies inside; none when it lies in no bound control.
NativeWindow* ControlWindowOf(QWidget* widget);
// Hands a notification of control to the form window it lies in.
void NotifyControlEvent(QWidget& control, ControlEvent event, int32_t code = 0);

} // namespace vellum::platform
