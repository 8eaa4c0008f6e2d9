// The tab control on QTabBar with its tabs along the bottom (the
// handheld's bottom tabs). The pages are not the bar's children: they are
// views of the form laid out in the display area above the bar.
#include "platform/controls/tab_control.h"

#include "platform/controls/control_bridge.h"
#include "platform/controls/control_kinds.h"
#include "platform/controls/visible_caption.h"
#include "platform/qt_convert.h"

#include <QSignalBlocker>
#include <QTabBar>

#include <algorithm>

namespace vellum::platform {

namespace {

QWidget* MakeTabBar(QWidget& parent)
{
    auto* bar = new QTabBar(&parent);
    bar->setShape(QTabBar::RoundedSouth);
    bar->setFocusPolicy(Qt::StrongFocus);
    bar->setExpanding(false);
    bar->setDrawBase(true);
    bar->setUsesScrollButtons(true);
    return bar;
}

void ConnectTabBar(QWidget& widget, ControlBridge& bridge)
{
    QObject::connect(static_cast<QTabBar*>(&widget), &QTabBar::currentChanged, &bridge,
                     [&bridge] { bridge.Dispatch([](ControlHandler& h) { h.TabChanged(); }); });
}

// The bar's window text, like the handheld's tab control's, is empty.
void SetNoText(QWidget&, const QString&) {}
QString NoText(const QWidget&) { return {}; }

// The height of the bar: its tabs' height, or that of a tab it would show.
int TabBarHeight(QTabBar& bar)
{
    if (bar.count() > 0) return bar.sizeHint().height();
    QTabBar probe;
    probe.setShape(bar.shape());
    probe.setFont(bar.font());
    probe.addTab(QStringLiteral("X"));
    return probe.sizeHint().height();
}

} // namespace

const ControlKindTraits kTabsTraits{MakeTabBar, ConnectTabBar, SetNoText, NoText};

bool InsertTab(NativeControl& tabs, int32_t index, std::u16string_view text)
{
    auto* bar = WidgetAs<QTabBar>(tabs);
    if (bar == nullptr || index < 0 || index > bar->count()) return false;
    const QSignalBlocker quiet(bar);
    return bar->insertTab(index, VisibleCaption(ToQString(text), bar->fontMetrics())) == index;
}

void SetTabText(NativeControl& tabs, int32_t index, std::u16string_view text)
{
    if (auto* bar = WidgetAs<QTabBar>(tabs)) bar->setTabText(index, VisibleCaption(ToQString(text), bar->fontMetrics()));
}

void DeleteTab(NativeControl& tabs, int32_t index)
{
    auto* bar = WidgetAs<QTabBar>(tabs);
    if (bar == nullptr || index < 0 || index >= bar->count()) return;
    const QSignalBlocker quiet(bar);
    bar->removeTab(index);
}

int32_t CurrentTab(NativeControl& tabs)
{
    const auto* bar = WidgetAs<QTabBar>(tabs);
    return bar != nullptr ? bar->currentIndex() : -1;
}

void SelectTab(NativeControl& tabs, int32_t index)
{
    auto* bar = WidgetAs<QTabBar>(tabs);
    if (bar == nullptr) return;
    const QSignalBlocker quiet(bar);
    bar->setCurrentIndex(index);
}

Rect PlaceTabBar(NativeControl& tabs, const Rect& area)
{
    auto* bar = WidgetAs<QTabBar>(tabs);
    if (bar == nullptr || area.Empty()) return area;
    const int32_t height = std::min(TabBarHeight(*bar), area.Height());
    const Rect strip{area.left, area.bottom - height + 1, area.right, area.bottom};
    bar->setGeometry(ToQRect(strip));
    return {area.left, area.top, area.right, strip.top - 1};
}

} // namespace vellum::platform
