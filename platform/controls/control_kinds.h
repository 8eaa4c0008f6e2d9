// What the control host needs of each kind of native control: its widget,
// the signals that become the handler's notifications, and its window text.
// Each kind's file defines its traits; control_kinds.cpp maps ControlKind to them.
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

// The traits of each kind, defined in the kind's own file.
extern const ControlKindTraits kButtonTraits;
extern const ControlKindTraits kComboBoxTraits;
extern const ControlKindTraits kScrollBarTraits;
extern const ControlKindTraits kTabsTraits;

} // namespace vellum::platform
