// Reading a view's style: the table in its "style" field, whose own fields
// (never inherited ones) give colours, stroke, gradient, font, margins and
// alignment; every property falls back to its default.
#pragma once

#include "engine/core/table_object.h"
#include "engine/vm/interpreter.h"
#include "platform/draw/geometry.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace vellum::gui {

class View;

struct Margins {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

// GetProperty "style" of the view when it is a table, else none.
TableObject* StyleTableOf(View& view);

// The style of a view while one draw or measure reads it. Reading view
// properties may run script code, and "style" itself may be computed, so
// the style table and the view's table are kept alive while this lives.
class Style {
public:
    explicit Style(View& view);
    Style(const Style&) = delete;
    Style& operator=(const Style&) = delete;

    // The style table's own field; null without a style table.
    Value Get(std::u16string_view name) const;
    // None: every property has its default.
    TableObject* Table() const { return table; }

    View& view;

private:
    // In this order: the view's table is rooted before "style" is read.
    ValueRoot keepView;
    TableObject* table;
    ValueRoot keepStyle;
};

// "color": the text colour, black by default.
platform::Color StyleColor(const Style& style);
// "fill": the fill colour, black by default.
platform::Color StyleFill(const Style& style);
// A "fill" value is present (colour or not), or the gradient is on.
bool HasFill(const Style& style);

struct Gradient {
    platform::Color start = platform::Rgb(0, 0, 0);
    platform::Color end = platform::Rgb(0, 0, 255);
    bool vertical = false;
    bool on = false;
};
// "gradientFill" = {startColor, endColor, direction}; on when it is a table.
Gradient StyleGradient(const Style& style);

struct Stroke {
    platform::Pen pen; // colour, width in pixels, style
    bool on = false;
};
// "stroke", "strokeStyle", "strokeThickness": the border's pen (in the fill
// colour unless "stroke" names one); on when any of the three is given.
Stroke StyleStroke(const Style& style);

// The font a style asks for; size 0 is automatic.
struct FontRecord {
    std::u16string face = u"Arial";
    int32_t size = 0;
    int32_t weight = 400;
    bool italic = false;
    bool underline = false;

    // The platform font: the size as cell height, 15 pixels when automatic.
    platform::FontChoice Choice() const;
};
// "fontFamily", "fontSize" (1 to 100 pixels after conversion, or a pixel
// text), "fontWeight" (a word or 100 to 900), "fontStyle" ("italic" or "underline").
FontRecord StyleFont(const Style& style);

// The four margins in pixels: "margin" for all, "marginLeft" and the others
// overriding it; horizontal ones with the horizontal dpi.
Margins StyleMargins(const Style& style);
Margins StyleMargins(View& view);

enum class Align { Left = 0, Center = 1, Right = 2 };
enum class VAlign { Top = 0, Center = 1, Bottom = 2 };
// "align": "left", "center" or "right"; anything else is left.
Align StyleAlign(const Style& style);
// "valign": "top", "center" or "bottom"; anything else is center.
VAlign StyleVAlign(const Style& style);

// A width x height box placed in rect: at the left, centred, or at right -
// width (and likewise vertically); it may stick out of a smaller rect.
platform::Rect PlaceInRect(const platform::Rect& rect, Align align, VAlign valign, int32_t width, int32_t height);

} // namespace vellum::gui
