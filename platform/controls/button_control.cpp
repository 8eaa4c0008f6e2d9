// The push button on QPushButton. Qt centres a push button's caption
// whatever it is asked, while the handheld's buttons place it by their
// style bits, so the button draws its own face and then the caption where
// its alignment says.
#include "platform/controls/button_control.h"

#include "platform/controls/control_bridge.h"
#include "platform/controls/control_kinds.h"
#include "platform/controls/visible_caption.h"

#include <QEvent>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace vellum::platform {

namespace {

class AlignedButton final : public QPushButton {
public:
    explicit AlignedButton(QWidget* parent) : QPushButton(parent) {}

    // The button shows the part of the caption a screen can hold; the
    // script reads back the whole caption.
    void SetCaption(const QString& text)
    {
        caption = text;
        setText(VisibleCaption(caption, fontMetrics()));
    }
    const QString& Caption() const { return caption; }

    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;

protected:
    void changeEvent(QEvent* event) override
    {
        QPushButton::changeEvent(event);
        if (event->type() == QEvent::FontChange) setText(VisibleCaption(caption, fontMetrics()));
    }

    void paintEvent(QPaintEvent*) override
    {
        QStylePainter painter(this);
        QStyleOptionButton option;
        initStyleOption(&option);
        painter.drawControl(QStyle::CE_PushButtonBevel, option);
        const QRect face = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
        painter.drawItemText(face, static_cast<int>(alignment | Qt::TextShowMnemonic), option.palette, isEnabled(),
                             text(), QPalette::ButtonText);
    }

private:
    QString caption;
};

QWidget* MakeButton(QWidget& parent)
{
    auto* button = new AlignedButton(&parent);
    // The handheld's buttons take the focus when clicked, as the form expects.
    button->setFocusPolicy(Qt::StrongFocus);
    button->setAutoDefault(false);
    return button;
}

void ConnectButton(QWidget& widget, ControlBridge& bridge)
{
    QObject::connect(static_cast<QPushButton*>(&widget), &QPushButton::clicked, &bridge,
                     [&bridge] { bridge.Dispatch([](ControlHandler& h) { h.Clicked(); }); });
}

void SetButtonText(QWidget& widget, const QString& text) { static_cast<AlignedButton&>(widget).SetCaption(text); }

QString ButtonText(const QWidget& widget) { return static_cast<const AlignedButton&>(widget).Caption(); }

} // namespace

const ControlKindTraits kButtonTraits{MakeButton, ConnectButton, SetButtonText, ButtonText};

void SetButtonAlignment(NativeControl& button, CaptionHAlign h, CaptionVAlign v)
{
    auto* widget = WidgetAs<AlignedButton>(button);
    if (widget == nullptr) return;
    const Qt::Alignment horizontal = h == CaptionHAlign::Center  ? Qt::AlignHCenter
                                     : h == CaptionHAlign::Right ? Qt::AlignRight
                                                                 : Qt::AlignLeft;
    const Qt::Alignment vertical = v == CaptionVAlign::Top      ? Qt::AlignTop
                                   : v == CaptionVAlign::Bottom ? Qt::AlignBottom
                                                                : Qt::AlignVCenter;
    if (widget->alignment == (horizontal | vertical)) return;
    widget->alignment = horizontal | vertical;
    widget->update();
}

} // namespace vellum::platform
