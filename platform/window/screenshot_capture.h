// The form windows' side of --screenshot (screenshot.h): what a window
// does once it has painted.
#pragma once

#include "platform/window/screenshot.h"

#include <functional>

class QWidget;

namespace vellum::platform {

// Called by a form window after it painted: saves window when a screenshot
// is waiting, then (whenever one was requested) calls end.
void AfterFormPainted(QWidget& window, std::function<void()> end);

} // namespace vellum::platform
