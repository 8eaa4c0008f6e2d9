// The dialogs and device services a form opens for its script: message
// boxes, pop-up menus, the contact chooser and contact pictures and the
// camera (the voice recorder adds itself from media/recorder). Each is a method of TForm (and most of
// TTodayForm too), owned by the form's window; on a table without its form
// each does nothing and gives null. In console mode, where nobody can
// answer, every dialog that waits for a choice answers as cancelled.
#pragma once

#include "engine/vm/class_binding.h"
#include "engine/vm/interpreter.h"
#include "gui/form/form.h"

#include <cstdint>

namespace vellum::gui {

inline Form* ThisForm(Interpreter& ip) { return ThisNative<Form>(ip); }

// Script coordinates (1/96 inch) in pixels at dpi, truncated toward zero.
inline int32_t DipToPx(int32_t dip, int32_t dpi) { return static_cast<int32_t>(int64_t{dip} * dpi / 96); }

uint32_t FormMsgBox(Interpreter& ip);
uint32_t PopupMenu(Interpreter& ip);
uint32_t ChooseContact(Interpreter& ip);
uint32_t PoomBitmap(Interpreter& ip);
uint32_t CameraCapture(Interpreter& ip);

} // namespace vellum::gui
