// The kinds of native control on Qt's widgets. Each kind is a set of
// functions over its widget class; the table at the bottom maps
// ControlKind to them.
#include "platform/controls/control_kinds.h"

#include "platform/controls/control_bridge.h"
#include "platform/controls/edit_widget.h"

#include <QPushButton>

namespace vellum::platform {

namespace {

// --- button ----------------------------------------------------------------

QWidget* MakeButton(QWidget& parent)
{
    auto* button = new QPushButton(&parent);
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

void SetButtonText(QWidget& widget, const QString& text) { static_cast<QPushButton&>(widget).setText(text); }

QString ButtonText(const QWidget& widget) { return static_cast<const QPushButton&>(widget).text(); }

constexpr ControlKindTraits kButton{MakeButton, ConnectButton, SetButtonText, ButtonText};

} // namespace

const ControlKindTraits& TraitsOf(ControlKind kind)
{
    switch (kind) {
    case ControlKind::Button:
        return kButton;
    case ControlKind::LineEdit:
        return kLineEditTraits;
    case ControlKind::TextEdit:
        return kTextEditTraits;
    }
    return kButton;
}

} // namespace vellum::platform
