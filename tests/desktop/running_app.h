// A vellum run as its own process on the test's display, started as a user
// starts it: its window found by the process id, seen through the screen's
// pixels and driven with real key presses and clicks (xdotool sends them
// through the X server, as a keyboard and a mouse would).
#pragma once

#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRect>
#include <QString>
#include <QStringList>

namespace vellum::test {

class RunningApp {
public:
    // Starts vellum on the display with the arguments, its environment
    // this one's with the changes (a QT_SCALE_FACTOR, say).
    explicit RunningApp(const QStringList& arguments, QProcessEnvironment changes = {});
    ~RunningApp();
    RunningApp(const RunningApp&) = delete;
    RunningApp& operator=(const RunningApp&) = delete;

    // Waits until the app shows a window; false when none shows in time.
    bool WaitForWindow();
    // The window's place on the screen (its client part, without the
    // window manager's frame), in screen pixels.
    QRect Geometry() const;
    // The window's pixels once they have stopped changing.
    QImage SteadyPicture() const;

    // Real input: a click at a point of the window given in scale-1 pixels
    // of a window of unscaledSize (the window may be shown scaled), and
    // text and keys typed into the focused window (xdotool's key names:
    // "Return", "ctrl+a", "Down").
    void Click(QPoint at, QSize unscaledSize) const;
    void Type(const QString& text) const;
    void Key(const QString& name) const;

    // Closes the window as its user does (the window manager's Alt+F4)
    // and waits for the process to end; false when it did not end in time.
    bool Close();
    // The window's X identifier, for xdotool.
    const QString& Window() const { return window; }

private:
    QProcess process;
    QString window;
};

// Runs xdotool with the arguments and gives what it printed.
QString Xdotool(const QStringList& arguments);

// The largest difference of a channel between the mean colours of the
// blocks of two pictures of one size (blocks of block x block pixels):
// small where the same things are drawn in the same places, whatever the
// antialiasing of text and edges.
int BlockDifference(const QImage& a, const QImage& b, int block);

} // namespace vellum::test
