#include "platform/window/today_host.h"

#include "platform/window/device_screen.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QLinearGradient>
#include <QPaintEvent>
#include <QPainter>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <vector>

namespace vellum::platform {

namespace {

// Every live host; handles are checked against it.
std::vector<TodayHost*> hosts;

// The colours of the Today theme: a soft blue watermark fading to white.
const QColor kWatermarkTop(178, 205, 240);
const QColor kWatermarkBottom(255, 255, 255);

} // namespace

class TodayWindow final : public QWidget {
public:
    TodayWindow()
    {
        setObjectName("todayScreen");
        setWindowTitle(QStringLiteral("Today"));
        const DeviceScreen& screen = CurrentDeviceScreen();
        resize(screen.size.width, screen.size.height);
    }

    std::function<void()> closed;
    std::function<void()> resized;

protected:
    void paintEvent(QPaintEvent* event) override
    {
        QPainter painter(this);
        PaintWatermark(painter, rect(), event->rect());
    }
    void closeEvent(QCloseEvent* event) override
    {
        QWidget::closeEvent(event);
        if (closed) closed();
    }
    void resizeEvent(QResizeEvent*) override
    {
        if (resized) resized();
    }

public:
    // The watermark of the whole screen, as much of it as area covers.
    static void PaintWatermark(QPainter& painter, const QRect& screen, const QRect& area)
    {
        QLinearGradient gradient(screen.topLeft(), screen.bottomLeft());
        gradient.setColorAt(0, kWatermarkTop);
        gradient.setColorAt(1, kWatermarkBottom);
        painter.fillRect(area, gradient);
    }
};

struct TodayHost::Screen {
    struct Item {
        QPointer<QWidget> widget;
        TodayItemRecord record;
        std::function<bool(TodayItemRecord&)> query;
    };

    void Stack()
    {
        std::erase_if(items, [](const Item& item) { return item.widget == nullptr; });
        int top = 0;
        for (Item& item : items) {
            item.widget->setGeometry(0, top, window.width(), item.record.cyp);
            top += item.record.cyp;
        }
    }

    TodayWindow window;
    std::vector<Item> items;
    QTimer refresh;
    QEventLoop* loop = nullptr;
};

TodayHost::TodayHost() : screen(std::make_unique<Screen>())
{
    hosts.push_back(this);
    screen->window.resized = [this] { screen->Stack(); };
    screen->window.closed = [this] {
        screen->refresh.stop();
        if (screen->loop != nullptr) screen->loop->exit(0);
    };
    // The Today screen asks its items about their height every two seconds.
    screen->refresh.setInterval(2000);
    QObject::connect(&screen->refresh, &QTimer::timeout, [this] { RefreshItems(); });
}

TodayHost::~TodayHost()
{
    std::erase(hosts, this);
    screen->window.closed = nullptr;
    screen->window.resized = nullptr;
}

TodayHost* TodayHost::FromHandle(const void* handle)
{
    const auto found = std::find(hosts.begin(), hosts.end(), handle);
    return found != hosts.end() ? *found : nullptr;
}

TodayHost* TodayHost::Current() { return hosts.empty() ? nullptr : hosts.back(); }

void TodayHost::Show()
{
    screen->window.show();
    screen->refresh.start();
}

void TodayHost::RunUntilClosed()
{
    Show();
    if (!screen->window.isVisible()) return;
    QEventLoop loop;
    screen->loop = &loop;
    loop.exec();
    screen->loop = nullptr;
}

void TodayHost::Close() { screen->window.close(); }

bool TodayHost::Ready() const { return screen->window.isVisible(); }

int TodayHost::RefreshItems()
{
    int changed = 0;
    // A query may run script code that adds or removes items: it works on a copy.
    std::vector<QPointer<QWidget>> widgets;
    for (const Screen::Item& item : screen->items) widgets.push_back(item.widget);
    for (const QPointer<QWidget>& widget : widgets) {
        const auto item = std::find_if(screen->items.begin(), screen->items.end(),
                                       [&](const Screen::Item& i) { return widget != nullptr && i.widget == widget; });
        if (item == screen->items.end()) continue;
        TodayItemRecord record = item->record;
        const auto query = item->query;
        if (!query(record)) continue;
        // Looked up again: the query may have changed the list.
        const auto again = std::find_if(screen->items.begin(), screen->items.end(),
                                        [&](const Screen::Item& i) { return widget != nullptr && i.widget == widget; });
        if (again == screen->items.end()) continue;
        again->record.cyp = std::max(0, record.cyp);
        ++changed;
    }
    if (changed > 0) screen->Stack();
    return changed;
}

Color TodayHost::TextColor() const { return Rgb(0, 0, 0); }

QWidget* TodayHost::ItemParent() { return &screen->window; }

void TodayHost::AddItem(QWidget* item, int32_t height, std::function<bool(TodayItemRecord&)> query)
{
    screen->items.push_back({item, {std::max(0, height)}, std::move(query)});
    screen->Stack();
}

void TodayHost::RemoveItem(QWidget* item)
{
    std::erase_if(screen->items, [item](const Screen::Item& i) { return i.widget == item; });
    screen->Stack();
}

void TodayHost::DrawWatermark(QPainter& painter, const QWidget& item)
{
    // The item's part of the screen's watermark, in the item's coordinates.
    const QPoint offset = item.mapTo(&screen->window, QPoint(0, 0));
    painter.save();
    painter.translate(-offset);
    TodayWindow::PaintWatermark(painter, screen->window.rect(), item.rect().translated(offset));
    painter.restore();
}

} // namespace vellum::platform
