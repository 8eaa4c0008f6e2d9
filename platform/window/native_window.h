// What a view needs of the window it draws into (the form's window) or of
// its own child window (a native control): repainting and keyboard focus.
#pragma once

#include "platform/draw/geometry.h"

namespace vellum::platform {

class NativeWindow {
public:
    virtual ~NativeWindow() = default;
    // Schedules r (inclusive) for repainting, without erasing.
    virtual void Invalidate(const Rect& r) = 0;
    // Gives this window the keyboard focus.
    virtual void TakeFocus() = 0;
    virtual bool HasFocus() const = 0;
};

} // namespace vellum::platform
