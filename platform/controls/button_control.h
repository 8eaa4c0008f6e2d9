// What a push button adds to the control host: where its caption sits.
#pragma once

#include "platform/controls/native_control.h"

namespace vellum::platform {

enum class CaptionHAlign { Left, Center, Right };
enum class CaptionVAlign { Top, Center, Bottom };

// Places the caption inside the button's face; a new button has it at the
// left, centred vertically.
void SetButtonAlignment(NativeControl& button, CaptionHAlign h, CaptionVAlign v);

} // namespace vellum::platform
