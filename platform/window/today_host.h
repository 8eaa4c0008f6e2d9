// The Today screen, for `vellum --today`: a window at the device screen's
// size that stacks the items of TTodayForm scripts, paints its watermark
// behind them, answers their text-colour query and asks each item every
// two seconds whether it wants another height. The scripts find it through
// the globals "gTodayParentWnd" and "gTodayHInst", which hold its handle.
#pragma once

#include "platform/draw/geometry.h"
#include "platform/window/form_window.h"

#include <functional>
#include <memory>

class QPainter;
class QWidget;

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

    // For the items' windows: the parent to create them in, adding and
    // removing them, and the watermark behind an item.
    QWidget* ItemParent();
    void AddItem(QWidget* item, int32_t height, std::function<bool(TodayItemRecord&)> query);
    void RemoveItem(QWidget* item);
    void DrawWatermark(QPainter& painter, const QWidget& item);

    struct Screen;

private:
    std::unique_ptr<Screen> screen;
};

} // namespace vellum::platform
