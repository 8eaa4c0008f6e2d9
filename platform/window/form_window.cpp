// The facade of the form window: every operation checks that the window is
// still alive, since script code may have destroyed it, and reaches the
// shell widget through a guarded pointer.
#include "platform/window/form_window.h"

#include "platform/qt_convert.h"
#include "platform/window/client_area.h"
#include "platform/window/shell_widget.h"
#include "platform/window/soft_key_bar.h"
#include "platform/window/title_strip.h"
#include "platform/window/today_screen.h"

#include <QApplication>
#include <QPointer>
#include <QWindow>

#include <utility>

namespace vellum::platform {

struct FormWindow::Shell {
    QPointer<ShellWidget> widget;
    // Kept here: the owner is enabled again after this window is gone.
    QPointer<QWidget> owner;
    FormWindowHandler* handler;
    QMetaObject::Connection watch;
};

std::unique_ptr<FormWindow> FormWindow::Create(FormWindowHandler& handler, const FormWindowOptions& options)
{
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) return nullptr;
    if (options.todayParent != nullptr && TodayHost::FromHandle(options.todayParent) == nullptr) return nullptr;
    auto shell = std::make_unique<Shell>();
    shell->handler = &handler;
    auto* widget = new ShellWidget(handler, options);
    shell->widget = widget;
    if (options.owner != nullptr && options.owner->Alive()) shell->owner = options.owner->shell->widget.data();
    std::unique_ptr<FormWindow> window(new FormWindow(std::move(shell)));
    Shell* s = window->shell.get();
    // Qt may delete the widget itself (the Today screen closing with its
    // items): the form then learns its window is gone.
    s->watch = QObject::connect(widget, &QObject::destroyed, [s] {
        if (s->handler != nullptr) {
            FormWindowHandler* h = std::exchange(s->handler, nullptr);
            h->Destroyed();
        }
    });
    if (options.todayParent != nullptr) {
        options.todayParent->ItemScreen().AddItem(widget, options.todayHeight, [w = QPointer<ShellWidget>(widget)](TodayItemRecord& r) {
            return w != nullptr && w->TodayQuery(r);
        });
    }
    return window;
}

ShellWidget* ShellWidgetOf(const FormWindow& window) { return window.Alive() ? window.shell->widget.data() : nullptr; }

FormWindow::FormWindow(std::unique_ptr<Shell> shell_) : shell(std::move(shell_)) {}

FormWindow::~FormWindow()
{
    QObject::disconnect(shell->watch);
    shell->handler = nullptr;
    if (shell->widget != nullptr) shell->widget->Retire();
}

bool FormWindow::Alive() const { return shell->widget != nullptr && shell->handler != nullptr; }

void FormWindow::Invalidate(const Rect& r)
{
    if (Alive()) shell->widget->client->update(ToQRect(r));
}

void FormWindow::TakeFocus()
{
    if (Alive()) shell->widget->client->setFocus(Qt::OtherFocusReason);
}

bool FormWindow::HasFocus() const
{
    if (!Alive()) return false;
    ClientArea* client = shell->widget->client;
    return client->window()->focusWidget() == client;
}

Rect FormWindow::ClientRect() const { return Alive() ? shell->widget->ClientRect() : Rect{}; }

int32_t FormWindow::AvailableHeight() const { return Alive() ? shell->widget->AvailableHeight() : 0; }

void FormWindow::SetTitle(std::u16string_view title)
{
    if (!Alive()) return;
    shell->widget->setWindowTitle(ToQString(title));
    if (shell->widget->titleStrip != nullptr) shell->widget->titleStrip->SetTitle(ToQString(title));
}

void FormWindow::SetDoneButton(DoneButton kind)
{
    if (Alive() && shell->widget->titleStrip != nullptr) shell->widget->titleStrip->SetDoneButton(kind);
}

void FormWindow::ShowInputPanel(bool up)
{
    if (Alive()) shell->widget->ShowInputPanel(up);
}

void FormWindow::ShowInputPanelButton(bool shown)
{
    if (!Alive() || shell->widget->bar == nullptr) return;
    shell->widget->bar->ShowInputPanelButton(shown);
    shell->widget->UpdateBar();
}

void FormWindow::InstallMenuBar(const MenuLayout& menu)
{
    if (!Alive() || shell->widget->bar == nullptr) return;
    shell->widget->bar->Build(menu);
    shell->widget->UpdateBar();
}

bool FormWindow::HasMenuBar() const { return Alive() && shell->widget->bar != nullptr && shell->widget->bar->HasMenu(); }

void FormWindow::SetMenuItemChecked(int32_t id, bool checked)
{
    if (HasMenuBar()) shell->widget->bar->SetChecked(id, checked);
}

void FormWindow::SetMenuItemEnabled(int32_t id, bool enabled)
{
    if (HasMenuBar()) shell->widget->bar->SetEnabled(id, enabled);
}

void FormWindow::SetMenuItemText(int32_t id, std::u16string_view text)
{
    if (HasMenuBar()) shell->widget->bar->SetText(id, ToQString(text));
}

void FormWindow::Show()
{
    if (!Alive()) return;
    ShellWidget* widget = shell->widget;
    if (widget->isWindow() && shell->owner != nullptr) {
        // Owned: kept above the owner without Qt owning it, so either may go first.
        widget->winId();
        shell->owner->winId();
        if (QWindow* w = widget->windowHandle()) w->setTransientParent(shell->owner->windowHandle());
    }
    widget->show();
}

void FormWindow::BringToForeground()
{
    if (!Alive()) return;
    QWidget* top = shell->widget->window();
    top->raise();
    top->activateWindow();
}

void FormWindow::DisableOwner()
{
    if (!Alive() || shell->owner == nullptr) return;
    shell->owner->setEnabled(false);
    shell->widget->setEnabled(true);
}

void FormWindow::RestoreOwner()
{
    if (shell->owner == nullptr) return;
    QWidget* owner = shell->owner;
    owner->setEnabled(true);
    owner->raise();
    owner->activateWindow();
}

void FormWindow::Destroy()
{
    if (!Alive()) return;
    QObject::disconnect(shell->watch);
    FormWindowHandler* handler = std::exchange(shell->handler, nullptr);
    ShellWidget* widget = shell->widget;
    widget->Retire();
    handler->Destroyed();
}

} // namespace vellum::platform
