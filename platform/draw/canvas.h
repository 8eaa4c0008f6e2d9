// What the views draw with: the few device-context operations of the
// handheld's graphics interface that shapes, texts and pictures use, with
// its pixel rules. Coordinates are pixels of the form's client area.
//
// - Rectangle and Ellipse take a bounding box whose right and bottom edges
//   lie outside (pixels left .. right - 1, top .. bottom - 1 are covered);
//   the outline is drawn with the pen and the inside filled with the brush.
// - Lines do not draw their end point.
// - FillRect, GradientFill and text clipping take inclusive rectangles.
// - Clips nest: PushClip intersects with the clip in force, PopClip restores it.
#pragma once

#include "platform/draw/geometry.h"

#include <memory>
#include <optional>
#include <span>
#include <string_view>

class QFontMetrics;

namespace vellum::platform {

class Picture;

class Canvas {
public:
    virtual ~Canvas() = default;

    virtual void FillRect(const Rect& r, Color color) = 0;
    // A two-colour linear gradient over r: start at the left (or the top
    // when vertical), end at the right (or the bottom).
    virtual void GradientFill(const Rect& r, Color start, Color end, bool vertical) = 0;
    // brush: none leaves the inside as it is.
    virtual void Rectangle(int32_t left, int32_t top, int32_t right, int32_t bottom, const Pen& pen,
                           std::optional<Color> brush) = 0;
    virtual void Ellipse(int32_t left, int32_t top, int32_t right, int32_t bottom, const Pen& pen,
                         std::optional<Color> brush) = 0;
    // Connected segments through the points; the last point is not drawn.
    virtual void Polyline(std::span<const Point> points, const Pen& pen) = 0;
    void Line(Point from, Point to, const Pen& pen)
    {
        const Point points[2] = {from, to};
        Polyline(points, pen);
    }

    // Text with a transparent background, its cell's top-left corner at
    // (x, y), clipped to clip.
    virtual void DrawText(const FontChoice& font, int32_t x, int32_t y, std::u16string_view text, const Rect& clip,
                          Color color) = 0;

    // The picture scaled into target; opacity 255 is opaque, lower values
    // blend the whole picture with that constant alpha.
    virtual void DrawPicture(const Picture& picture, const Rect& target, int32_t opacity = 255) = 0;

    // Copies width x height 24-bit pixels (blue, green, red), given as rows
    // from the bottom up, each stride bytes long, with the picture's
    // top-left corner at `at`; unscaled, clipped to the clip in force.
    virtual void DrawPixels(const uint8_t* rows, int32_t width, int32_t height, uint32_t stride, Point at) = 0;

    virtual void PushClip(const Rect& r) = 0;
    virtual void PopClip() = 0;
};

// Measures texts on one line in a font, as the canvas would draw them;
// needs no canvas (measuring happens during layout). It finds the font
// once, so breaking a text into lines measures each word at the cost of
// its shaping alone.
class TextMeasure {
public:
    explicit TextMeasure(const FontChoice& font);
    ~TextMeasure();
    TextMeasure(const TextMeasure&) = delete;
    TextMeasure& operator=(const TextMeasure&) = delete;

    Size Extent(std::u16string_view text) const;
    // The height of a line (every text's extent has it), found without
    // shaping a text.
    int32_t LineHeight() const { return lineHeight; }

private:
    // None without a font system (console runs).
    std::unique_ptr<QFontMetrics> metrics;
    int32_t lineHeight;
};

inline Size TextExtent(const FontChoice& font, std::u16string_view text) { return TextMeasure(font).Extent(text); }
inline int32_t LineHeight(const FontChoice& font) { return TextMeasure(font).LineHeight(); }

} // namespace vellum::platform
