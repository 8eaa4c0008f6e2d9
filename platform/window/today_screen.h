// The Qt side of the Today screen, for the form windows of its items: the
// screen's window, where items are created, stacked and given their part of
// the watermark.
#pragma once

#include "platform/window/today_host.h"

#include <QEventLoop>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <vector>

class QPainter;

namespace vellum::platform {

// The window at the device screen's size that paints the watermark.
class TodayWindow final : public QWidget {
public:
    TodayWindow();
    // The watermark of the whole screen, as much of it as area covers.
    static void PaintWatermark(QPainter& painter, const QRect& screen, const QRect& area);

    std::function<void()> closed;
    std::function<void()> resized;

protected:
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent*) override;
};

struct TodayHost::Screen {
    struct Item {
        QPointer<QWidget> widget;
        TodayItemRecord record;
        std::function<bool(TodayItemRecord&)> query;
    };

    // The parent to create the items' windows in.
    QWidget* ItemParent();
    void AddItem(QWidget* item, int32_t height, std::function<bool(TodayItemRecord&)> query);
    void RemoveItem(QWidget* item);
    // The watermark behind an item, in the item's coordinates.
    void DrawWatermark(QPainter& painter, const QWidget& item);
    // Stacks the live items from the top, each at its recorded height.
    void Stack();

    TodayWindow window;
    std::vector<Item> items;
    QTimer refresh;
    QEventLoop* loop = nullptr;
};

} // namespace vellum::platform
