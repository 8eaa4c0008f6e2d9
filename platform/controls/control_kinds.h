// What the control host needs of each kind of native control: its widget,
// the signals that become the handler's notifications, and its window text.
// control_kinds.cpp holds one entry per ControlKind.
#pragma once

#include "platform/controls/native_control.h"

#include <QString>

class QWidget;

namespace vellum::platform {

class ControlBridge;

struct ControlKindTraits {
    // The widget, a child of parent (a form window's client area).
    QWidget* (*make)(QWidget& parent);
    // Connects the widget's own signals to the bridge's handler.
    void (*connect)(QWidget& widget, ControlBridge& bridge);
    void (*setText)(QWidget& widget, const QString& text);
    QString (*text)(const QWidget& widget);
};

const ControlKindTraits& TraitsOf(ControlKind kind);

} // namespace vellum::platform
