// Helpers for tests whose steps run inside the loop of a shown form.
#pragma once

#include "platform/window/message_loop.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCoreApplication>
#include <QMenu>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>

namespace vellum::test {

// Ends every loop a test left running, so a failing test fails instead of hanging.
class FormWatchdog {
public:
    FormWatchdog()
    {
        timer.setInterval(20000);
        timer.callOnTimeout([this] {
            ADD_FAILURE() << "a form was left open";
            timer.setInterval(50);
            platform::PostQuit();
        });
        timer.start();
    }

private:
    QTimer timer;
};

// Runs step on the widget find gives, as soon as it is there (a menu or
// dialog opened by a script call that is still running). The timer it
// gives is gone once step has run; deleting it before then keeps a step
// that never ran from running in a later test.
inline QPointer<QTimer> WhenShown(std::function<QWidget*()> find, std::function<void(QWidget*)> step)
{
    auto* timer = new QTimer(QCoreApplication::instance());
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, find, step] {
        if (QWidget* w = find()) {
            timer->stop();
            timer->deleteLater();
            step(w);
        }
    });
    timer->start();
    return timer;
}

// The dialog a script call is waiting on, and the pop-up menu it opened.
inline QWidget* Modal() { return QApplication::activeModalWidget(); }
inline QWidget* Popup() { return QApplication::activePopupWidget(); }

// Runs step once the loop that is running next takes events.
inline void Later(std::function<void()> step)
{
    QTimer::singleShot(0, QCoreApplication::instance(), std::move(step));
}

// The entry of a menu with that text; none when it has none.
inline QAction* ActionNamed(const QMenu* menu, const QString& text)
{
    for (QAction* action : menu->actions()) {
        if (action->text() == text) return action;
    }
    return nullptr;
}

// The button of a dialog with that caption, its shortcut mark left out.
inline QAbstractButton* ButtonWithText(const QWidget* dialog, const QString& text)
{
    for (auto* button : dialog->findChildren<QAbstractButton*>()) {
        if (button->text().remove(QLatin1Char('&')) == text) return button;
    }
    return nullptr;
}

} // namespace vellum::test
