// The canvas over a QPainter with the handheld's pixel rules. Qt's own
// rasterisation is used where it already lands on the right pixels (fills,
// ellipses, wide strokes placed on pixel centres); one-pixel lines are
// stepped here, because the rules that matter to the views (the end point
// left out, a dash pattern that runs on across the corners of an outline)
// are not Qt's. Antialiasing is off for shapes: their pixels are exact and
// repeatable. Text keeps the painter's text antialiasing.
#include "platform/draw/qt_canvas.h"

#include "platform/draw/picture_pixels.h"
#include "platform/draw/qt_font.h"
#include "platform/draw/text_pieces.h"
#include "platform/draw/thin_line.h"
#include "platform/qt_convert.h"

#include <QFontMetrics>
#include <QImage>
#include <QPaintDevice>
#include <QPainter>
#include <QTransform>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace vellum::platform {

namespace {

// Wide dashes, in pen widths (Qt's unit for dash patterns).
constexpr qreal wideDashOn = 6;
constexpr qreal wideDashOff = 2;

int PenWidth(const Pen& pen) { return std::max(1, pen.width); }

// A wide stroke is centred on its path. Putting the path on pixel centres
// for odd widths and on pixel edges for even ones puts both sides of the
// stroke on pixel edges, so the pixels covered are never a matter of
// rounding: width/2 of them lie outside the path and (width-1)/2 inside.
qreal StrokeOffset(int width) { return width % 2 == 1 ? 0.5 : 0.0; }

QPen WidePen(const Pen& pen)
{
    QPen qpen(ToQColor(pen.color), PenWidth(pen), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    if (pen.style == PenStyle::Dash) qpen.setDashPattern({wideDashOn, wideDashOff});
    return qpen;
}

void Normalize(int32_t& low, int32_t& high)
{
    if (high < low) std::swap(low, high);
}

// The box (left, top) .. (right, bottom) exclusive of right and bottom, at
// least one pixel each way; right and bottom become the last pixel inside.
bool InclusiveBox(int32_t& left, int32_t& top, int32_t& right, int32_t& bottom)
{
    Normalize(left, right);
    Normalize(top, bottom);
    if (right == left || bottom == top) return false;
    --right;
    --bottom;
    return true;
}

// The path through the centres of the outermost pixels of an inclusive box,
// shifted for the pen width as StrokeOffset explains.
QRectF StrokeBox(int32_t left, int32_t top, int32_t right, int32_t bottom, int width)
{
    const qreal offset = StrokeOffset(width);
    const qreal outward = 0.5 - offset;
    return QRectF(QPointF(left + offset, top + offset), QPointF(right + 0.5 + outward, bottom + 0.5 + outward));
}

// Channel of pixel index of count on a gradient from start to end, the two
// end pixels exactly the end colours.
uint32_t Blend(uint32_t start, uint32_t end, int64_t index, int64_t count)
{
    if (count <= 1) return start;
    const int64_t span = count - 1;
    return static_cast<uint32_t>((start * (span - index) + end * index + span / 2) / span);
}

// A rectangle that holds every pixel drawing can reach: the device, the
// clip in force (the innermost pushed, else the painter's own), and one
// pixel to spare. Drawing loops stay within it.
QRect Reach(const QPainter& painter, const std::vector<Rect>& clips)
{
    QRect bounds;
    if (const QPaintDevice* device = painter.device()) bounds = QRect(0, 0, device->width(), device->height());
    // A window's size is in the canvas's pixels at any scale factor; the
    // combined transform also holds the scale to the screen's pixels, so
    // only the painter's own transform maps the size to the canvas.
    bool invertible = false;
    const QTransform toLogical = painter.worldTransform().inverted(&invertible);
    if (invertible) bounds = toLogical.mapRect(bounds);
    if (!clips.empty()) bounds &= ToQRect(clips.back());
    else if (painter.hasClipping()) bounds &= painter.clipBoundingRect().toAlignedRect();
    return bounds.isEmpty() ? QRect() : bounds.adjusted(-1, -1, 1, 1);
}

} // namespace

QtCanvas::QtCanvas(QPainter& painter_) : painter(painter_)
{
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
}

QtCanvas::~QtCanvas()
{
    while (!clips.empty()) PopClip();
}

void QtCanvas::FillRect(const Rect& r, Color color)
{
    if (r.Empty()) return;
    painter.fillRect(ToQRect(r), ToQColor(color));
}

void QtCanvas::GradientFill(const Rect& r, Color start, Color end, bool vertical)
{
    // One row (or column) of colours, stretched across the other axis by
    // nearest-pixel scaling; only the part that can show is computed.
    const QRect visible = ToQRect(r) & Reach(painter, clips);
    if (visible.isEmpty()) return;
    const int64_t count = vertical ? int64_t{r.bottom} - r.top + 1 : int64_t{r.right} - r.left + 1;
    const int64_t offset = vertical ? int64_t{visible.top()} - r.top : int64_t{visible.left()} - r.left;
    const int length = vertical ? visible.height() : visible.width();
    QImage strip(vertical ? 1 : length, vertical ? length : 1, QImage::Format_RGB32);
    for (int i = 0; i < length; ++i) {
        const int64_t index = offset + i;
        const QRgb rgb = qRgb(static_cast<int>(Blend(RedOf(start), RedOf(end), index, count)),
                              static_cast<int>(Blend(GreenOf(start), GreenOf(end), index, count)),
                              static_cast<int>(Blend(BlueOf(start), BlueOf(end), index, count)));
        strip.setPixel(vertical ? 0 : i, vertical ? i : 0, rgb);
    }
    painter.drawImage(visible, strip);
}

void QtCanvas::Rectangle(int32_t left, int32_t top, int32_t right, int32_t bottom, const Pen& pen,
                         std::optional<Color> brush)
{
    if (!InclusiveBox(left, top, right, bottom)) return;
    if (brush) painter.fillRect(QRectOfEdges(left, top, right, bottom), ToQColor(*brush));
    const int width = PenWidth(pen);
    if (width == 1) {
        ThinLine line(pen, Reach(painter, clips));
        const Point corners[5] = {{left, top}, {right, top}, {right, bottom}, {left, bottom}, {left, top}};
        for (int i = 0; i < 4; ++i) line.Segment(corners[i], corners[i + 1]);
        line.Draw(painter, pen.color);
        return;
    }
    if (pen.style == PenStyle::Dash) {
        QPen qpen = WidePen(pen);
        qpen.setJoinStyle(Qt::MiterJoin);
        painter.setPen(qpen);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(StrokeBox(left, top, right, bottom, width));
        return;
    }
    // A solid border is four bands, with square corners.
    const int outside = width / 2;
    const int inside = (width - 1) / 2;
    const QColor color = ToQColor(pen.color);
    const int64_t l = int64_t{left} - outside, t = int64_t{top} - outside;
    const int64_t r = int64_t{right} + outside, b = int64_t{bottom} + outside;
    const auto band = [&](int64_t x0, int64_t y0, int64_t x1, int64_t y1) {
        painter.fillRect(QRectOfEdges(x0, y0, x1, y1), color);
    };
    band(l, t, r, int64_t{top} + inside);
    band(l, int64_t{bottom} - inside, r, b);
    band(l, t, int64_t{left} + inside, b);
    band(int64_t{right} - inside, t, r, b);
}

void QtCanvas::Ellipse(int32_t left, int32_t top, int32_t right, int32_t bottom, const Pen& pen,
                       std::optional<Color> brush)
{
    if (!InclusiveBox(left, top, right, bottom)) return;
    const int width = PenWidth(pen);
    QPen qpen = WidePen(pen);
    if (width == 1) {
        // Not cosmetic, so that the outline grows with the scale factor; at
        // scale 1 Qt draws it as the one-pixel cosmetic line.
        qpen.setCapStyle(Qt::FlatCap);
        if (pen.style == PenStyle::Dash) qpen.setDashPattern({qreal(ThinLine::dashOn), qreal(ThinLine::dashPeriod - ThinLine::dashOn)});
    }
    painter.setPen(qpen);
    painter.setBrush(brush ? QBrush(ToQColor(*brush)) : QBrush(Qt::NoBrush));
    painter.drawEllipse(StrokeBox(left, top, right, bottom, width));
}

void QtCanvas::Polyline(std::span<const Point> points, const Pen& pen)
{
    if (points.size() < 2) return;
    const int width = PenWidth(pen);
    if (width == 1) {
        ThinLine line(pen, Reach(painter, clips));
        for (size_t i = 0; i + 1 < points.size(); ++i) line.Segment(points[i], points[i + 1]);
        line.Draw(painter, pen.color);
        return;
    }
    const qreal offset = StrokeOffset(width);
    QPolygonF path;
    path.reserve(static_cast<qsizetype>(points.size()));
    for (const Point& p : points) path.append(QPointF(p.x + offset, p.y + offset));
    painter.setPen(WidePen(pen));
    painter.setBrush(Qt::NoBrush);
    painter.drawPolyline(path);
}

void QtCanvas::DrawText(const FontChoice& font, int32_t x, int32_t y, std::u16string_view text, const Rect& clip,
                        Color color)
{
    if (text.empty() || clip.Empty() || !FontsAvailable()) return;
    const QFont qfont = QtFont(font);
    // The metrics that measured the text during layout place its pieces too.
    const QFontMetrics metrics(qfont);
    const int64_t baseline = int64_t{y} + metrics.ascent();
    if (baseline > INT32_MAX) return;
    painter.save();
    painter.setClipRect(ToQRect(clip), Qt::IntersectClip);
    painter.setBackgroundMode(Qt::TransparentMode);
    painter.setFont(qfont);
    painter.setPen(ToQColor(color));
    if (text.size() <= kLongestShapedPiece) {
        painter.drawText(QPoint(x, static_cast<int>(baseline)), ToQString(text));
    } else {
        // Pieces left of the clip are only measured; drawing stops past its right edge.
        int64_t pen = x;
        ForEachTextPiece(text, metrics, [&](const QString& piece, int advance) {
            if (pen + advance >= clip.left) {
                painter.drawText(QPoint(static_cast<int>(pen), static_cast<int>(baseline)), piece);
            }
            pen += advance;
            return pen <= clip.right;
        });
    }
    painter.restore();
}

void QtCanvas::DrawPicture(const Picture& picture, const Rect& target, int32_t opacity)
{
    if (target.Empty() || opacity <= 0) return;
    const qreal previous = painter.opacity();
    painter.setOpacity(previous * std::min(opacity, 255) / 255.0);
    painter.drawImage(ToQRect(target), picture.GetPixels().image);
    painter.setOpacity(previous);
}

void QtCanvas::DrawPixels(const uint8_t* rows, int32_t width, int32_t height, uint32_t stride, Point at)
{
    if (rows == nullptr || width <= 0 || height <= 0) return;
    // Only the part that can show is copied, top row first.
    const QRect visible =
        QRectOfEdges(at.x, at.y, int64_t{at.x} + width - 1, int64_t{at.y} + height - 1) & Reach(painter, clips);
    if (visible.isEmpty()) return;
    QImage part(visible.width(), visible.height(), QImage::Format_BGR888);
    if (part.isNull()) return;
    const size_t firstColumn = static_cast<size_t>(int64_t{visible.left()} - at.x);
    const size_t rowBytes = static_cast<size_t>(visible.width()) * 3;
    for (int y = 0; y < visible.height(); ++y) {
        const int64_t fromTop = int64_t{visible.top()} - at.y + y;
        const uint8_t* source = rows + static_cast<size_t>(height - 1 - fromTop) * stride + firstColumn * 3;
        std::memcpy(part.scanLine(y), source, rowBytes);
    }
    painter.drawImage(visible.topLeft(), part);
}

void QtCanvas::PushClip(const Rect& r)
{
    Rect inForce = r;
    if (!clips.empty()) {
        const Rect& outer = clips.back();
        inForce = {std::max(r.left, outer.left), std::max(r.top, outer.top), std::min(r.right, outer.right),
                   std::min(r.bottom, outer.bottom)};
    }
    clips.push_back(inForce);
    painter.save();
    painter.setClipRect(ToQRect(r), Qt::IntersectClip);
}

void QtCanvas::PopClip()
{
    if (clips.empty()) return;
    clips.pop_back();
    painter.restore();
}

} // namespace vellum::platform
