// The shell's layout of its strips, its close and activation events, and
// the retiring of its widget when the form window is destroyed.
#include "platform/window/shell_widget.h"

#include "platform/controls/control_window.h"
#include "platform/qt_convert.h"
#include "platform/window/client_area.h"
#include "platform/window/device_screen.h"
#include "platform/window/input_panel.h"
#include "platform/window/soft_key_bar.h"
#include "platform/window/title_strip.h"
#include "platform/window/today_screen.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMetaObject>

#include <algorithm>
#include <utility>

namespace vellum::platform {

ShellWidget::ShellWidget(FormWindowHandler& handler_, const FormWindowOptions& options)
    : QWidget(options.todayParent != nullptr ? options.todayParent->ItemScreen().ItemParent() : nullptr), handler(&handler_)
{
    client = new ClientArea(*this);
    setFocusProxy(client);
    const auto command = [this](int32_t id) { Dispatch([id](FormWindowHandler& h) { h.Command(id); }); };
    if (options.todayParent != nullptr) {
        today = options.todayParent;
        resize(today->ItemScreen().ItemParent()->width(), options.todayHeight);
    } else {
        setWindowTitle(ToQString(options.title));
        titleStrip = new TitleStrip(this, command);
        titleStrip->SetTitle(ToQString(options.title));
        bar = new SoftKeyBar(this, {command, [this] { Dispatch([](FormWindowHandler& h) { h.MenuAboutToShow(); }); },
                                    [this] { ShowInputPanel(!InputPanelUp()); }});
        UpdateBar();
        const DeviceScreen& screen = CurrentDeviceScreen();
        resize(screen.size.width, screen.size.height);
    }
    LayOut();
    // A native control of this form took the focus from the client area.
    focusWatch = connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
        if (old != client || now == nullptr || !client->isAncestorOf(now)) return;
        if (NativeWindow* control = ControlWindowOf(now)) {
            Dispatch([control](FormWindowHandler& h) { h.FocusMovedTo(control); });
        }
    });
}

ShellWidget::~ShellWidget() { disconnect(focusWatch); }

Rect ShellWidget::ClientRect() const { return ToRect(client->rect()); }

void ShellWidget::LayOut()
{
    const int width = this->width();
    int top = 0;
    int bottom = height();
    if (titleStrip != nullptr) {
        top = DeviceDipToPx(26);
        titleStrip->setGeometry(0, 0, width, top);
    }
    if (bar != nullptr && !bar->isHidden()) {
        const int barHeight = DeviceDipToPx(26);
        bottom -= barHeight;
        bar->setGeometry(0, bottom, width, barHeight);
    }
    client->setGeometry(0, top, width, std::max(0, bottom - top));
    if (panel != nullptr) {
        const int panelHeight = std::min(DeviceDipToPx(80), std::max(0, bottom - top));
        panel->setGeometry(0, bottom - panelHeight, width, panelHeight);
        panel->raise();
    }
}

// The bar shows while there is a menu or the input panel's button.
void ShellWidget::UpdateBar()
{
    if (bar == nullptr) return;
    const bool shown = bar->HasMenu() || bar->InputPanelButtonShown();
    if (shown == !bar->isHidden()) return;
    bar->setVisible(shown);
    LayOut();
}

int32_t ShellWidget::AvailableHeight() const
{
    if (bar == nullptr || !bar->HasMenu()) return 0;
    const int covered = InputPanelUp() ? panel->height() : 0;
    return std::max(0, client->height() - covered);
}

bool ShellWidget::InputPanelUp() const { return panel != nullptr && !panel->isHidden(); }

void ShellWidget::ShowInputPanel(bool up)
{
    // A Today item has no panel.
    if (today != nullptr || up == InputPanelUp()) return;
    // Most forms never raise the panel: its forty keys are made the first
    // time it is, which keeps them and their font out of every start.
    if (panel == nullptr) {
        panel = new InputPanel(this, client);
        LayOut();
    }
    panel->setVisible(up);
    if (up) panel->raise();
    Dispatch([](FormWindowHandler& h) { h.InputPanelChanged(); });
}

bool ShellWidget::TodayQuery(TodayItemRecord& record)
{
    bool changed = false;
    Dispatch([&](FormWindowHandler& h) { changed = h.TodayRefreshQuery(&record); });
    return changed;
}

void ShellWidget::closeEvent(QCloseEvent* event)
{
    // The form decides; on consent it destroys the window itself.
    event->ignore();
    Dispatch([](FormWindowHandler& h) { h.CloseRequested(); });
}

bool ShellWidget::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate || event->type() == QEvent::WindowDeactivate) {
        const bool active = event->type() == QEvent::WindowActivate;
        // Qt is still changing the active window: a handler that shows or
        // closes a form from here would change it again under Qt's feet.
        // The form hears of it once Qt is done.
        QMetaObject::invokeMethod(
            this, [this, active] { Dispatch([active](FormWindowHandler& h) { h.Activated(active); }); },
            Qt::QueuedConnection);
    }
    return QWidget::event(event);
}

void ShellWidget::Retire()
{
    handler = nullptr;
    hide();
    if (today != nullptr && TodayHost::FromHandle(today) != nullptr) today->ItemScreen().RemoveItem(this);
    DeleteWhenIdle(this);
}

void ShellWidget::DeleteWhenIdle(QObject* object)
{
    if (dispatching > 0) {
        retired.emplace_back(object);
    } else {
        delete object;
    }
}

void ShellWidget::DeleteRetired()
{
    for (const QPointer<QObject>& object : std::exchange(retired, {})) {
        if (object != nullptr) object->deleteLater();
    }
}

ShellWidget* ShellOf(QWidget* widget)
{
    for (; widget != nullptr; widget = widget->parentWidget()) {
        if (auto* shell = dynamic_cast<ShellWidget*>(widget)) return shell;
    }
    return nullptr;
}

} // namespace vellum::platform
