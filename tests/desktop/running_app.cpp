#include "desktop/running_app.h"

#include "host/program_run.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QTest>

#include <algorithm>
#include <cstdlib>

namespace vellum::test {

namespace {

constexpr int kPatienceMs = 10000;

} // namespace

QString Xdotool(const QStringList& arguments)
{
    QProcess tool;
    tool.start("xdotool", arguments);
    tool.waitForFinished(kPatienceMs);
    return QString::fromLocal8Bit(tool.readAllStandardOutput()).trimmed();
}

RunningApp::RunningApp(const QStringList& arguments, QProcessEnvironment changes)
{
    changes.insert("QT_QPA_PLATFORM", "xcb");
    StartProgram(process, arguments, changes);
}

RunningApp::~RunningApp()
{
    if (process.state() == QProcess::NotRunning) return;
    process.kill();
    process.waitForFinished(kPatienceMs);
}

bool RunningApp::WaitForWindow()
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < kPatienceMs && process.state() == QProcess::Running) {
        const QStringList found = Xdotool({"search", "--onlyvisible", "--pid", QString::number(process.processId())})
                                      .split('\n', Qt::SkipEmptyParts);
        if (!found.isEmpty()) {
            window = found.last();
            return true;
        }
        QTest::qWait(50);
    }
    return false;
}

QRect RunningApp::Geometry() const
{
    // xwininfo's "Absolute upper-left X:  10" lines; xdotool's position
    // counts the window manager's frame in a way of its own.
    QProcess info;
    info.start("xwininfo", {"-id", window});
    info.waitForFinished(kPatienceMs);
    const auto value = [text = QString::fromLocal8Bit(info.readAllStandardOutput())](const QString& name) {
        for (const QString& line : text.split('\n')) {
            if (line.trimmed().startsWith(name)) return line.section(':', 1).trimmed().toInt();
        }
        return 0;
    };
    return {value("Absolute upper-left X"), value("Absolute upper-left Y"), value("Width"), value("Height")};
}

QImage RunningApp::SteadyPicture() const
{
    QImage last;
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < kPatienceMs) {
        QTest::qWait(150);
        const QImage now = QGuiApplication::primaryScreen()->grabWindow(window.toULongLong()).toImage().convertToFormat(
            QImage::Format_RGB32);
        if (!now.isNull() && now == last) return now;
        last = now;
    }
    return last;
}

void RunningApp::Click(QPoint at, QSize unscaledSize) const
{
    const QRect place = Geometry();
    const int x = at.x() * place.width() / unscaledSize.width();
    const int y = at.y() * place.height() / unscaledSize.height();
    Xdotool({"mousemove", "--window", window, QString::number(x), QString::number(y)});
    Xdotool({"click", "1"});
    QTest::qWait(150);
}

void RunningApp::Type(const QString& text) const
{
    Xdotool({"type", "--delay", "30", text});
    QTest::qWait(150);
}

void RunningApp::Key(const QString& name) const
{
    Xdotool({"key", name});
    QTest::qWait(150);
}

bool RunningApp::Close()
{
    // The window manager's close key, as a user closes a window.
    Xdotool({"windowactivate", "--sync", window});
    Xdotool({"key", "alt+F4"});
    return process.waitForFinished(kPatienceMs);
}

int BlockDifference(const QImage& a, const QImage& b, int block)
{
    if (a.size() != b.size()) return 255;
    int worst = 0;
    for (int top = 0; top < a.height(); top += block) {
        for (int left = 0; left < a.width(); left += block) {
            long sums[2][3] = {};
            for (int y = top; y < std::min(top + block, a.height()); ++y) {
                for (int x = left; x < std::min(left + block, a.width()); ++x) {
                    const QRgb pa = a.pixel(x, y), pb = b.pixel(x, y);
                    sums[0][0] += qRed(pa), sums[0][1] += qGreen(pa), sums[0][2] += qBlue(pa);
                    sums[1][0] += qRed(pb), sums[1][1] += qGreen(pb), sums[1][2] += qBlue(pb);
                }
            }
            const long count = long{std::min(block, a.height() - top)} * std::min(block, a.width() - left);
            for (int c = 0; c < 3; ++c) worst = std::max<int>(worst, std::abs(sums[0][c] - sums[1][c]) / count);
        }
    }
    return worst;
}

} // namespace vellum::test
