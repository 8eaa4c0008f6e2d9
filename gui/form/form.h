// The native form: the window of a TForm or TTodayForm and the state the
// views share through it (resolution, focus, pointer capture).
#pragma once

#include "core/gc_object.h"
#include "core/table_object.h"
#include "platform/native_window.h"

#include <cstdint>

namespace vellum::gui {

class View;

class Form : public GcObject {
public:
    // The form's window, none before it is created or after it is destroyed.
    virtual platform::NativeWindow* NativeWindowOf() = 0;

    TableObject* table = nullptr;
    View* root = nullptr;
    bool captureActive = false;
    View* captured = nullptr;
    View* focus = nullptr;
    int32_t dpiX = 96;
    int32_t dpiY = 96;
};

} // namespace vellum::gui
