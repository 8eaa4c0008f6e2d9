// The Today screen, for `vellum --today`: a window at the device screen's
// size that stacks the items of TTodayForm scripts, paints its watermark
// behind them, answers their text-colour query and asks each item every
// two seconds whether it wants another height. The scripts find it through
// the globals "gTodayParentWnd" and "gTodayHInst", which hold its handle.
#pragma once

#include "platform/draw/geometry.h"
#include "platform/window/form_window.h"

#include <memory>

namespace vellum::platform {

class TodayHost {
public:
    TodayHost();
    ~TodayHost();
    TodayHost(const TodayHost&) = delete;
    TodayHost& operator=(const TodayHost&) = delete;

    // The host whose handle a script holds; none for any other value, so a
    // made-up handle can never reach a window.
    static TodayHost* FromHandle(const void* handle);
    // The latest live host, none without one.
    static TodayHost* Current();
    void* Handle() { return this; }

    void Show();
    // Shows the window and runs its loop until the user closes it.
    void RunUntilClosed();
    void Close();
    // The shell is ready for items once its window is shown.
    bool Ready() const;
    // Asks every item whether it wants another height and stacks them
    // again; gives how many items changed.
    int RefreshItems();
    Color TextColor() const;

    // The screen's window and its items, for the items' form windows
    // (defined in the platform layer's today_screen.h).
    struct Screen;
    Screen& ItemScreen();

private:
    std::unique_ptr<Screen> screen;
};

} // namespace vellum::platform
