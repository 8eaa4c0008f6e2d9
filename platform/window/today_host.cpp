// The Today screen's list of live hosts, its loop and the refresh of its
// items' heights.
#include "platform/window/today_host.h"

#include "platform/window/today_screen.h"

#include <QEventLoop>
#include <QPalette>
#include <QPointer>

#include <algorithm>
#include <vector>

namespace vellum::platform {

namespace {

// Every live host; handles are checked against it.
std::vector<TodayHost*> hosts;

} // namespace

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

// The colour the screen's own texts take: its palette's, which the desktop
// theme sets (black on the light watermark by default).
Color TodayHost::TextColor() const
{
    const QColor text = screen->window.palette().color(QPalette::WindowText);
    return Rgb(text.red(), text.green(), text.blue());
}

TodayHost::Screen& TodayHost::ItemScreen() { return *screen; }

} // namespace vellum::platform
