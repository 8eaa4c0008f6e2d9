// The stepping of one-pixel lines: the minor coordinate rounded to the
// nearest pixel, the dash pattern carried on from segment to segment.
#include "platform/draw/thin_line.h"

#include "platform/qt_convert.h"

#include <QPainter>

#include <algorithm>
#include <cstdlib>

namespace vellum::platform {

void ThinLine::Segment(Point from, Point to)
{
    const int64_t dx = int64_t{to.x} - from.x;
    const int64_t dy = int64_t{to.y} - from.y;
    const bool xMajor = std::abs(dx) >= std::abs(dy);
    const int64_t major0 = xMajor ? from.x : from.y;
    const int64_t minor0 = xMajor ? from.y : from.x;
    const int64_t majorDelta = xMajor ? dx : dy;
    const int64_t minorDelta = xMajor ? dy : dx;
    const int64_t steps = std::abs(majorDelta);
    if (steps == 0) return;
    const int64_t majorSign = majorDelta < 0 ? -1 : 1;
    const int64_t minorSign = minorDelta < 0 ? -1 : 1;
    const int64_t minorSpan = std::abs(minorDelta);

    // Steps i in [first, last] put the major coordinate inside bounds.
    const int64_t low = xMajor ? bounds.left() : bounds.top();
    const int64_t high = xMajor ? bounds.right() : bounds.bottom();
    int64_t first = majorSign > 0 ? low - major0 : major0 - high;
    int64_t last = majorSign > 0 ? high - major0 : major0 - low;
    first = std::max<int64_t>(first, 0);
    last = std::min<int64_t>(last, steps - 1);
    for (int64_t i = first; i <= last; ++i) {
        if (dashed && (phase + i) % dashPeriod >= dashOn) continue;
        // The minor coordinate rounded to the nearest pixel; the product
        // of two 33-bit spans needs more than 64 bits.
        const __int128 rounded = (__int128{2} * i * minorSpan + steps) / (__int128{2} * steps);
        const int64_t major = major0 + majorSign * i;
        const int64_t minor = minor0 + minorSign * static_cast<int64_t>(rounded);
        const int64_t x = xMajor ? major : minor;
        const int64_t y = xMajor ? minor : major;
        if (x >= bounds.left() && x <= bounds.right() && y >= bounds.top() && y <= bounds.bottom()) {
            pixels.append(QPoint(static_cast<int>(x), static_cast<int>(y)));
        }
    }
    phase = (phase + steps) % dashPeriod;
}

// Each pixel is filled as a one-pixel square, not drawn as a point: a point
// is one screen pixel at any scale factor, a square grows with the scale,
// so the line stays as thick as the rest of the drawing. Runs along a row
// become one rectangle each.
void ThinLine::Draw(QPainter& painter, Color color) const
{
    if (pixels.isEmpty()) return;
    QList<QRect> squares;
    for (const QPoint& p : pixels) {
        if (!squares.isEmpty()) {
            QRect& run = squares.last();
            if (run.top() == p.y() && run.right() + 1 == p.x()) {
                run.setRight(p.x());
                continue;
            }
        }
        squares.append(QRect(p, QSize(1, 1)));
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(ToQColor(color));
    painter.drawRects(squares);
}

} // namespace vellum::platform
