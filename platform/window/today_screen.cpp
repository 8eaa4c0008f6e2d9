// The Today screen's window with its watermark, and the stacking of its items.
#include "platform/window/today_screen.h"

#include "platform/window/device_screen.h"

#include <QCloseEvent>
#include <QLinearGradient>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>

namespace vellum::platform {

namespace {

// The colours of the Today theme: a soft blue watermark fading to white.
const QColor kWatermarkTop(178, 205, 240);
const QColor kWatermarkBottom(255, 255, 255);

} // namespace

TodayWindow::TodayWindow()
{
    setWindowTitle(QStringLiteral("Today"));
    const DeviceScreen& screen = CurrentDeviceScreen();
    resize(screen.size.width, screen.size.height);
}

void TodayWindow::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    PaintWatermark(painter, rect(), event->rect());
}

void TodayWindow::closeEvent(QCloseEvent* event)
{
    QWidget::closeEvent(event);
    if (closed) closed();
}

void TodayWindow::resizeEvent(QResizeEvent*)
{
    if (resized) resized();
}

void TodayWindow::PaintWatermark(QPainter& painter, const QRect& screen, const QRect& area)
{
    QLinearGradient gradient(screen.topLeft(), screen.bottomLeft());
    gradient.setColorAt(0, kWatermarkTop);
    gradient.setColorAt(1, kWatermarkBottom);
    painter.fillRect(area, gradient);
}

void TodayHost::Screen::Stack()
{
    std::erase_if(items, [](const Item& item) { return item.widget == nullptr; });
    int top = 0;
    for (Item& item : items) {
        item.widget->setGeometry(0, top, window.width(), item.record.cyp);
        top += item.record.cyp;
    }
}

QWidget* TodayHost::Screen::ItemParent() { return &window; }

void TodayHost::Screen::AddItem(QWidget* item, int32_t height, std::function<bool(TodayItemRecord&)> query)
{
    items.push_back({item, {std::max(0, height)}, std::move(query)});
    Stack();
}

void TodayHost::Screen::RemoveItem(QWidget* item)
{
    std::erase_if(items, [item](const Item& i) { return i.widget == item; });
    Stack();
}

void TodayHost::Screen::DrawWatermark(QPainter& painter, const QWidget& item)
{
    // The item's part of the screen's watermark, in the item's coordinates.
    const QPoint offset = item.mapTo(&window, QPoint(0, 0));
    painter.save();
    painter.translate(-offset);
    TodayWindow::PaintWatermark(painter, window.rect(), item.rect().translated(offset));
    painter.restore();
}

} // namespace vellum::platform
