// The Qt side of a native control: the widget, and the bridge from its
// signals and events to the ControlHandler. Calls into the handler are
// guarded as the form window's are: a control (or its whole form window)
// destroyed during one of its own notifications is deleted once the
// notification is over.
#pragma once

#include "platform/controls/control_handler.h"
#include "platform/controls/native_control.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <functional>

namespace vellum::platform {

class ControlBridge final : public QObject {
public:
    // A child of widget, watching its focus and key events.
    ControlBridge(QWidget& widget, ControlHandler& handler);

    // Runs call on the handler unless the control was retired.
    template <class Call>
    void Dispatch(Call call);
    // Forgets the handler and deletes the widget, later when inside its own notifications.
    void Retire();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Guarded(const std::function<void()>& run);

    QWidget& widget;
    ControlHandler* handler;
    int dispatching = 0;
};

template <class Call>
void ControlBridge::Dispatch(Call call)
{
    if (handler == nullptr) return;
    Guarded([&] { call(*handler); });
}

struct NativeControl::Widget {
    QPointer<QWidget> widget;
    QPointer<ControlBridge> bridge;
};

// The control's widget as its kind's class; none once it is gone or when
// the control is of another kind.
template <class W>
W* WidgetAs(NativeControl& control)
{
    return dynamic_cast<W*>(WidgetOf(control).widget.data());
}

} // namespace vellum::platform
