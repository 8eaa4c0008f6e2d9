// The shell of a form window in Qt: one top-level widget that holds the
// title strip, the client area, the soft-key bar and the input panel,
// placed by hand. The strips keep their heights and the client area takes
// the rest; the panel lies over the client area's bottom, above the bar,
// as the device's panel lies over the form. A Today item is the client
// area alone, a child of the Today screen.
//
// Every call into the handler may run script code, which may destroy this
// very window, one of its controls, or drop the form that owns it. So the
// handler is reached only through Dispatch, which stops once the window is
// retired, and a window or control retired during one of the window's
// events is deleted only once every event of the window is over: a paint
// whose callback ran a whole form's loop still holds its painter on the
// client area, and Qt still holds a control it is giving the focus to.
#pragma once

#include "platform/window/form_window.h"

#include <QPointer>
#include <QWidget>

#include <vector>

namespace vellum::platform {

class ClientArea;
class InputPanel;
class SoftKeyBar;
class TitleStrip;

class ShellWidget final : public QWidget {
public:
    ShellWidget(FormWindowHandler& handler, const FormWindowOptions& options);
    // Stops watching the focus first: destroying the children moves it.
    ~ShellWidget() override;

    // Runs call on the handler unless the window was retired.
    template <class Call>
    void Dispatch(Call call)
    {
        if (handler == nullptr) return;
        WhileBusy([&] { call(*handler); });
    }
    // Runs run with the widget kept alive until it returns, even when the
    // window is destroyed meanwhile (a native control's notification).
    template <class Run>
    void WhileBusy(Run run)
    {
        ++dispatching;
        run();
        if (--dispatching == 0) DeleteRetired();
    }
    // Forgets the handler and deletes the widget, later when inside its own events.
    void Retire();
    // Deletes object (this widget or one inside it) at once when no event
    // of the window runs, else once the outermost one is over.
    void DeleteWhenIdle(QObject* object);

    Rect ClientRect() const;
    int32_t AvailableHeight() const;
    void ShowInputPanel(bool up);
    bool InputPanelUp() const;
    // Shows the bar while it has a menu or the input panel's button.
    void UpdateBar();
    bool TodayQuery(TodayItemRecord& record);

    ClientArea* client;
    TitleStrip* titleStrip = nullptr;
    SoftKeyBar* bar = nullptr;
    InputPanel* panel = nullptr;
    TodayHost* today = nullptr;

protected:
    void resizeEvent(QResizeEvent*) override { LayOut(); }
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;

private:
    void LayOut();
    // Hands what was retired during the events to the event loop, which
    // deletes it when the Qt code around the last event has returned too.
    void DeleteRetired();

    FormWindowHandler* handler;
    int dispatching = 0;
    std::vector<QPointer<QObject>> retired;
    QMetaObject::Connection focusWatch;
};

// The shell widget lies in or is; none outside every form window.
ShellWidget* ShellOf(QWidget* widget);
// The shell of a live form window; none once it is destroyed.
ShellWidget* ShellWidgetOf(const FormWindow& window);

} // namespace vellum::platform
