// The plain drawing values the GUI and the platform layer exchange: pixel
// rectangles (inclusive, as the handheld's views keep them), colours in the
// handheld's 0x00BBGGRR form, pens and font records.
#pragma once

#include <cstdint>
#include <string>

namespace vellum::platform {

// Red in the low byte, then green, then blue.
using Color = uint32_t;
constexpr Color Rgb(uint32_t red, uint32_t green, uint32_t blue)
{
    return (red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16);
}
constexpr uint32_t RedOf(Color c) { return c & 0xFF; }
constexpr uint32_t GreenOf(Color c) { return (c >> 8) & 0xFF; }
constexpr uint32_t BlueOf(Color c) { return (c >> 16) & 0xFF; }

struct Point {
    int32_t x = 0;
    int32_t y = 0;
    bool operator==(const Point&) const = default;
};

struct Size {
    int32_t width = 0;
    int32_t height = 0;
    bool operator==(const Size&) const = default;
};

// Edges are inclusive: right and bottom are the last pixel inside, so an
// empty rectangle has right < left or bottom < top.
struct Rect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = -1;
    int32_t bottom = -1;

    int32_t Width() const { return right - left + 1; }
    int32_t Height() const { return bottom - top + 1; }
    bool Empty() const { return right < left || bottom < top; }
    bool Contains(int32_t x, int32_t y) const { return x >= left && x <= right && y >= top && y <= bottom; }
    // Whether the two share at least one pixel.
    bool Intersects(const Rect& o) const
    {
        return !Empty() && !o.Empty() && left <= o.right && o.left <= right && top <= o.bottom && o.top <= bottom;
    }
    bool operator==(const Rect&) const = default;
};

enum class PenStyle { Solid, Dash };

struct Pen {
    Color color = 0;
    int32_t width = 1; // pixels; 0 draws one pixel wide, as 1 does
    PenStyle style = PenStyle::Solid;
};

// A font as the views ask for it: the character cell height in pixels
// (not points), a weight from 100 to 900, italic or underlined.
struct FontChoice {
    std::u16string face = u"Arial";
    int32_t height = 15;
    int32_t weight = 400;
    bool italic = false;
    bool underline = false;

    bool operator==(const FontChoice&) const = default;
};

} // namespace vellum::platform
