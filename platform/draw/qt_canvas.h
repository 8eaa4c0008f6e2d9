// The canvas over a QPainter: a window's paint device, or an image for the
// double-buffered paint, screenshots and tests.
#pragma once

#include "platform/draw/canvas.h"

#include <vector>

class QPainter;

namespace vellum::platform {

class QtCanvas final : public Canvas {
public:
    // The painter must stay active while the canvas is used.
    explicit QtCanvas(QPainter& painter);
    // Pops the clips still pushed, so the painter ends as it was given.
    ~QtCanvas() override;
    QtCanvas(const QtCanvas&) = delete;
    QtCanvas& operator=(const QtCanvas&) = delete;

    void FillRect(const Rect& r, Color color) override;
    void GradientFill(const Rect& r, Color start, Color end, bool vertical) override;
    void Rectangle(int32_t left, int32_t top, int32_t right, int32_t bottom, const Pen& pen,
                   std::optional<Color> brush) override;
    void Ellipse(int32_t left, int32_t top, int32_t right, int32_t bottom, const Pen& pen,
                 std::optional<Color> brush) override;
    void Polyline(std::span<const Point> points, const Pen& pen) override;
    void DrawText(const FontChoice& font, int32_t x, int32_t y, std::u16string_view text, const Rect& clip,
                  Color color) override;
    void DrawPicture(const Picture& picture, const Rect& target, int32_t opacity) override;
    void DrawPixels(const uint8_t* rows, int32_t width, int32_t height, uint32_t stride, Point at) override;
    void PushClip(const Rect& r) override;
    void PopClip() override;

private:
    QPainter& painter;
    std::vector<Rect> clips; // the clip in force after each PushClip
};

} // namespace vellum::platform
