// Finds the parts of a form window through its shell widget.
#include "platform/window/form_window_probe.h"

#include "platform/controls/control_bridge.h"
#include "platform/window/client_area.h"
#include "platform/window/input_panel.h"
#include "platform/window/shell_widget.h"
#include "platform/window/soft_key_bar.h"
#include "platform/window/title_strip.h"
#include "platform/window/today_screen.h"

#include <QApplication>

namespace vellum::platform {

namespace {

ShellWidget* AsShell(QWidget* widget) { return dynamic_cast<ShellWidget*>(widget); }

} // namespace

QWidget* FormWindowTitled(const QString& title)
{
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (AsShell(w) != nullptr && w->isVisible() && w->windowTitle() == title) return w;
    }
    return nullptr;
}

QWidget* ClientAreaOf(QWidget* formWindow)
{
    ShellWidget* shell = AsShell(formWindow);
    return shell != nullptr ? shell->client : nullptr;
}

QToolButton* DoneButtonOf(QWidget* formWindow)
{
    ShellWidget* shell = AsShell(formWindow);
    return shell != nullptr && shell->titleStrip != nullptr ? shell->titleStrip->DoneButtonWidget() : nullptr;
}

QWidget* InputPanelOf(QWidget* formWindow)
{
    ShellWidget* shell = AsShell(formWindow);
    return shell != nullptr ? shell->panel : nullptr;
}

QToolButton* SoftKeyOf(QWidget* formWindow, const QString& text)
{
    ShellWidget* shell = AsShell(formWindow);
    return shell != nullptr && shell->bar != nullptr ? shell->bar->KeyWithText(text) : nullptr;
}

QWidget* TodayItemOf(TodayHost& host)
{
    for (const TodayHost::Screen::Item& item : host.ItemScreen().items) {
        if (AsShell(item.widget) != nullptr) return item.widget;
    }
    return nullptr;
}

QWidget* ControlWidgetOf(NativeControl& control) { return WidgetOf(control).widget; }

} // namespace vellum::platform
