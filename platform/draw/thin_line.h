// One-pixel lines stepped pixel by pixel with the handheld's rules, for
// the canvas: Qt's own one-pixel lines end and dash differently.
#pragma once

#include "platform/draw/geometry.h"

#include <QPolygon>
#include <QRect>

#include <cstdint>

class QPainter;

namespace vellum::platform {

// The pixels of one-pixel lines. Each segment leaves out its end point, so
// the corners of a polyline are drawn once and its last point not at all.
// Only the steps that fall inside bounds are visited, so a segment with
// far-away ends costs no more than one across the canvas.
class ThinLine {
public:
    // One-pixel dashes: 18 pixels drawn, 6 left out.
    static constexpr int64_t dashOn = 18;
    static constexpr int64_t dashPeriod = 24;

    ThinLine(const Pen& pen, const QRect& bounds_) : dashed(pen.style == PenStyle::Dash), bounds(bounds_) {}

    // The pixels from from to to, leaving out to itself.
    void Segment(Point from, Point to);
    // Sets the pixels collected so far in color.
    void Draw(QPainter& painter, Color color) const;

private:
    bool dashed;
    QRect bounds;
    int64_t phase = 0; // how far into the dash pattern the next segment starts
    QPolygon pixels;
};

} // namespace vellum::platform
