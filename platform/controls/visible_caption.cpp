#include "platform/controls/visible_caption.h"

#include "platform/window/device_screen.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>

namespace vellum::platform {

namespace {

// The largest window a caption can lie in: the desktop's, or the device's
// screen where that is larger.
QSize ScreenRoom()
{
    const DeviceScreen& device = CurrentDeviceScreen();
    QSize room(device.size.width, device.size.height);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) room = room.expandedTo(screen->virtualSize());
    return room;
}

} // namespace

QString VisibleCaption(const QString& caption, const QFontMetrics& metrics)
{
    const QSize room = ScreenRoom();
    const qsizetype widest = std::max(1, room.width());
    if (caption.size() <= widest) return caption;
    qsizetype linesLeft = room.height() / std::max(1, metrics.lineSpacing()) + 1;
    QString shown;
    for (qsizetype start = 0; linesLeft > 0; --linesLeft) {
        qsizetype end = caption.indexOf(u'\n', start);
        if (end < 0) end = caption.size();
        qsizetype cut = std::min(end, start + widest);
        // A character of two units is kept whole or not at all.
        if (cut < end && caption[cut - 1].isHighSurrogate()) --cut;
        shown += QStringView(caption).mid(start, cut - start);
        if (end == caption.size()) break;
        shown += u'\n';
        start = end + 1;
    }
    return shown;
}

} // namespace vellum::platform
