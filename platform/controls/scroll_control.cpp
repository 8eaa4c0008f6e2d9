// The scroll bar on QScrollBar. Qt moves a scroll bar by itself on every
// action; the handheld's bar stays where it is until its owner sets the
// position. So each action is undone as it is announced and reported as
// its scroll code, and the owner's answer is the position that holds.
#include "platform/controls/scroll_control.h"

#include "platform/controls/control_bridge.h"
#include "platform/controls/control_kinds.h"

#include <QApplication>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyle>

#include <algorithm>

namespace vellum::platform {

namespace {

class ScrollBarWidget final : public QScrollBar {
public:
    explicit ScrollBarWidget(QWidget* parent) : QScrollBar(Qt::Vertical, parent) {}

    // The range's last position; Qt's maximum is the thumb's last position.
    int32_t last = 0;
    int32_t trackPos = 0;
};

// The scroll code of a slider action; -1 for none.
int32_t ScrollCodeOf(int action)
{
    switch (action) {
    case QAbstractSlider::SliderSingleStepSub:
        return kScrollLineUp;
    case QAbstractSlider::SliderSingleStepAdd:
        return kScrollLineDown;
    case QAbstractSlider::SliderPageStepSub:
        return kScrollPageUp;
    case QAbstractSlider::SliderPageStepAdd:
        return kScrollPageDown;
    case QAbstractSlider::SliderMove:
        return kScrollThumbTrack;
    case QAbstractSlider::SliderToMinimum:
        return kScrollTop;
    case QAbstractSlider::SliderToMaximum:
        return kScrollBottom;
    default:
        return -1;
    }
}

QWidget* MakeScrollBar(QWidget& parent)
{
    auto* bar = new ScrollBarWidget(&parent);
    bar->setFocusPolicy(Qt::StrongFocus);
    // Its menu of scrolling commands would move the bar without a scroll code.
    bar->setContextMenuPolicy(Qt::PreventContextMenu);
    bar->setSingleStep(1);
    return bar;
}

void ConnectScrollBar(QWidget& widget, ControlBridge& bridge)
{
    auto* bar = static_cast<ScrollBarWidget*>(&widget);
    // Announced after Qt moved the slider's position and before the value
    // follows it, so putting the position back undoes the move.
    QObject::connect(bar, &QAbstractSlider::actionTriggered, &bridge, [bar, &bridge](int action) {
        const int32_t code = ScrollCodeOf(action);
        if (code < 0) return;
        bar->trackPos = bar->sliderPosition();
        bar->setSliderPosition(bar->value());
        bridge.Dispatch([code](ControlHandler& h) { h.Scrolled(code); });
    });
    QObject::connect(bar, &QAbstractSlider::sliderReleased, &bridge,
                     [&bridge] { bridge.Dispatch([](ControlHandler& h) { h.Scrolled(kScrollThumbPosition); }); });
}

// A scroll bar has no text.
void SetNoText(QWidget&, const QString&) {}
QString NoText(const QWidget&) { return {}; }

// The thumb's last position: max - page + 1, never below min.
int32_t LastThumbPosition(int32_t min, int32_t max, int32_t page)
{
    return static_cast<int32_t>(std::max<int64_t>(min, int64_t{max} - std::max(page - 1, 0)));
}

} // namespace

const ControlKindTraits kScrollBarTraits{MakeScrollBar, ConnectScrollBar, SetNoText, NoText};

void SetScrollHorizontal(NativeControl& bar, bool horizontal)
{
    auto* widget = WidgetAs<ScrollBarWidget>(bar);
    if (widget == nullptr) return;
    widget->setOrientation(horizontal ? Qt::Horizontal : Qt::Vertical);
    // Qt's scroll bars invert the keys for the vertical bar's sake, which
    // would make Right scroll left; the handheld's Right scrolls right.
    widget->setInvertedControls(!horizontal);
}

void SetScrollInfo(NativeControl& bar, const ScrollInfo& info)
{
    auto* widget = WidgetAs<ScrollBarWidget>(bar);
    if (widget == nullptr) return;
    const int64_t length = std::max<int64_t>(0, int64_t{info.max} - info.min + 1);
    const auto page = static_cast<int32_t>(std::clamp<int64_t>(info.page, 0, length));
    const QSignalBlocker quiet(widget);
    widget->last = info.max;
    widget->setPageStep(page);
    widget->setRange(info.min, LastThumbPosition(info.min, info.max, page));
    widget->setValue(info.pos);
}

ScrollInfo GetScrollInfo(NativeControl& bar)
{
    const auto* widget = WidgetAs<ScrollBarWidget>(bar);
    if (widget == nullptr) return {};
    return {widget->minimum(), widget->last, widget->pageStep(), widget->value(), widget->trackPos};
}

int32_t SetScrollPosition(NativeControl& bar, int32_t pos)
{
    auto* widget = WidgetAs<ScrollBarWidget>(bar);
    if (widget == nullptr) return 0;
    const QSignalBlocker quiet(widget);
    widget->setValue(pos);
    widget->setSliderPosition(widget->value());
    return widget->value();
}

int32_t ScrollBarThicknessDip()
{
    // A console run has no widget style; the handheld's own thickness stands in.
    constexpr int32_t kWithoutStyle = 13;
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) return kWithoutStyle;
    return QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent);
}

} // namespace vellum::platform
