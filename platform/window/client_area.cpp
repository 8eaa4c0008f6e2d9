// The client area's paint (on white, or over what the window showed)
// and its pointer and key events, handed to the form window's handler in
// client pixels and virtual keys.
#include "platform/window/client_area.h"

#include "platform/draw/qt_canvas.h"
#include "platform/qt_convert.h"
#include "platform/window/key_codes.h"
#include "platform/window/screenshot_capture.h"
#include "platform/window/shell_widget.h"
#include "platform/window/today_screen.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPointer>
#include <QWheelEvent>

namespace vellum::platform {

ClientArea::ClientArea(ShellWidget& shell_) : QWidget(&shell_), shell(shell_)
{
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    // The form paints every pixel it wants; what it leaves stays as it was,
    // since the handheld's form erases nothing before painting.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ClientArea::paintEvent(QPaintEvent* event)
{
    const QRect area = event->rect();
    const Rect clip = ToRect(area);
    PaintMode mode;
    shell.Dispatch([&](FormWindowHandler& h) { mode = h.PaintModeNow(); });
    QPainter onWindow(this);
    if (shell.today != nullptr && TodayHost::FromHandle(shell.today) != nullptr) {
        // The Today screen draws its watermark behind the item.
        shell.today->ItemScreen().DrawWatermark(onWindow, *this);
    }
    if (mode.doubleBuffered) {
        // Qt paints every widget into the window's backing store and shows
        // it only when the paint is over, so drawing straight onto the
        // window after a white fill looks exactly like drawing into an
        // image of its own and copying that: nothing half-drawn is seen.
        onWindow.fillRect(area, Qt::white);
    } else {
        onWindow.setBackground(Qt::white);
        onWindow.setBackgroundMode(mode.transparent ? Qt::TransparentMode : Qt::OpaqueMode);
    }
    QtCanvas canvas(onWindow);
    shell.Dispatch([&](FormWindowHandler& h) { h.Paint(canvas, clip); });
    if (!painted) {
        painted = true;
        AfterFormPainted(*window(), [shell = QPointer<ShellWidget>(&shell)] {
            if (shell != nullptr) shell->Dispatch([](FormWindowHandler& h) { h.EndRequested(); });
        });
    }
}

void ClientArea::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) return;
    const QPoint p = event->position().toPoint();
    shell.Dispatch([&](FormWindowHandler& h) { h.MouseDown({p.x(), p.y()}); });
}

// Qt keeps sending the pointer to the widget it was pressed on until the
// release, which is the capture the form asks for.
void ClientArea::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) return;
    const QPoint p = event->position().toPoint();
    shell.Dispatch([&](FormWindowHandler& h) { h.MouseUp({p.x(), p.y()}); });
}

void ClientArea::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    shell.Dispatch([&](FormWindowHandler& h) { h.MouseMove({p.x(), p.y()}); });
}

// The wheel turns into lines as the desktop counts them (a notch is 120
// eighths of a degree, worth wheelScrollLines lines); fine-grained wheels
// add up until a line is due.
void ClientArea::wheelEvent(QWheelEvent* event)
{
    constexpr int kNotch = 120;
    wheelRest += event->angleDelta();
    const int linesPerNotch = QApplication::wheelScrollLines();
    if (linesPerNotch <= 0) return;
    const int across = wheelRest.x() * linesPerNotch / kNotch;
    const int up = wheelRest.y() * linesPerNotch / kNotch;
    wheelRest -= QPoint(across, up) * kNotch / linesPerNotch;
    if (across == 0 && up == 0) return;
    const QPoint p = event->position().toPoint();
    // Turning the wheel away from the user scrolls up, towards the start.
    shell.Dispatch([&](FormWindowHandler& h) { h.Wheel({p.x(), p.y()}, -across, -up); });
}

void ClientArea::keyPressEvent(QKeyEvent* event)
{
    const int32_t key = VirtualKeyOfQtKey(event->key(), event->modifiers().testFlag(Qt::KeypadModifier));
    if (key == 0) {
        QWidget::keyPressEvent(event);
        return;
    }
    shell.Dispatch([&](FormWindowHandler& h) { h.KeyDown(key); });
}

void ClientArea::resizeEvent(QResizeEvent*)
{
    shell.Dispatch([](FormWindowHandler& h) { h.Resized(); });
}

} // namespace vellum::platform
