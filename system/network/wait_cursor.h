// The wait cursor for as long as a transfer blocks the interface thread;
// the cursor it replaced comes back however the transfer ends.
#pragma once

#include "platform/window/cursor.h"

namespace vellum::system {

class WaitCursor {
public:
    WaitCursor() : replaced(platform::ReplaceCursor(platform::CursorShape::Wait)) {}
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
    ~WaitCursor() { platform::RestoreCursor(replaced); }

private:
    platform::CursorState replaced;
};

} // namespace vellum::system
