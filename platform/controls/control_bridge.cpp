// The guarded calls into a control's handler, and the focus and key events
// of its widget turned into the handler's notifications.
#include "platform/controls/control_bridge.h"

#include "platform/window/key_codes.h"
#include "platform/window/shell_widget.h"

#include <QEvent>
#include <QKeyEvent>

namespace vellum::platform {

ControlBridge::ControlBridge(QWidget& widget_, ControlHandler& handler_)
    : QObject(&widget_), widget(widget_), handler(&handler_)
{
    widget.installEventFilter(this);
}

void ControlBridge::Guarded(const std::function<void()>& run)
{
    const auto counted = [&] {
        ++dispatching;
        run();
        --dispatching;
    };
    // The form window around the control stays too, should the script destroy it.
    if (ShellWidget* shell = ShellOf(&widget)) {
        shell->WhileBusy(counted);
    } else {
        counted();
    }
}

void ControlBridge::Retire()
{
    handler = nullptr;
    widget.hide();
    // Inside any event of its window (a focus change Qt is still making, a
    // paint) the control goes once the window's events are over.
    if (ShellWidget* shell = ShellOf(&widget)) {
        shell->DeleteWhenIdle(&widget);
    } else if (dispatching > 0) {
        widget.deleteLater();
    } else {
        delete &widget; // and this bridge with it
    }
}

bool ControlBridge::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != &widget) return false;
    switch (event->type()) {
    case QEvent::FocusIn:
    case QEvent::FocusOut: {
        const bool gained = event->type() == QEvent::FocusIn;
        Dispatch([gained](ControlHandler& h) { h.FocusChanged(gained); });
        return false;
    }
    case QEvent::KeyPress: {
        const auto* key = static_cast<QKeyEvent*>(event);
        const int32_t virtualKey = VirtualKeyOfQtKey(key->key(), key->modifiers().testFlag(Qt::KeypadModifier));
        if (virtualKey == 0) return false;
        bool kept = false;
        Dispatch([&](ControlHandler& h) { kept = h.KeyDown(virtualKey); });
        return kept;
    }
    default:
        return false;
    }
}

} // namespace vellum::platform
