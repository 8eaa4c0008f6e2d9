#include "gui/style/style.h"

#include "engine/core/string_object.h"
#include "gui/style/color.h"
#include "gui/style/length.h"
#include "gui/style/view_property.h"
#include "gui/view/view.h"

#include <algorithm>

namespace vellum::gui {

using platform::Color;
using platform::Rect;

namespace {

Value RootOf(TableObject* table) { return table != nullptr ? Value::Table(table) : Value::Null(); }

bool IsText(const Value& value, std::u16string_view text) { return value.IsStr() && value.str->Equals(text); }

} // namespace

TableObject* StyleTableOf(View& view)
{
    const Value style = ViewProperty(view, u"style");
    return style.IsTable() ? style.table : nullptr;
}

Style::Style(View& view_)
    : view(view_), keepView(view_.ip, RootOf(view_.Table())), table(StyleTableOf(view_)),
      keepStyle(view_.ip, RootOf(table))
{
}

Value Style::Get(std::u16string_view name) const
{
    if (table == nullptr) return Value::Null();
    return table->Get(view.ip.MakeString(name));
}

Color StyleColor(const Style& style) { return ParseColor(style.Get(u"color")).value_or(platform::Rgb(0, 0, 0)); }

Color StyleFill(const Style& style) { return ParseColor(style.Get(u"fill")).value_or(platform::Rgb(0, 0, 0)); }

bool HasFill(const Style& style) { return !style.Get(u"fill").IsNull() || StyleGradient(style).on; }

Gradient StyleGradient(const Style& style)
{
    Gradient gradient;
    const Value value = style.Get(u"gradientFill");
    if (!value.IsTable()) return gradient;
    Interpreter& ip = style.view.ip;
    TableObject* fields = value.table;
    gradient.on = true;
    gradient.start = ParseColor(fields->Get(ip.MakeString(u"startColor"))).value_or(gradient.start);
    gradient.end = ParseColor(fields->Get(ip.MakeString(u"endColor"))).value_or(gradient.end);
    gradient.vertical = IsText(fields->Get(ip.MakeString(u"direction")), u"vertical");
    return gradient;
}

Stroke StyleStroke(const Style& style)
{
    Stroke stroke;
    const Value color = style.Get(u"stroke");
    stroke.on = !color.IsNull();
    stroke.pen.color = ParseColor(color).value_or(StyleFill(style));
    const Value penStyle = style.Get(u"strokeStyle");
    if (IsText(penStyle, u"solid") || IsText(penStyle, u"dash")) {
        stroke.on = true;
        stroke.pen.style = IsText(penStyle, u"dash") ? platform::PenStyle::Dash : platform::PenStyle::Solid;
    }
    int32_t width;
    if (Interpreter::ValueToInt(style.Get(u"strokeThickness"), width)) {
        stroke.on = true;
        stroke.pen.width = std::clamp(width, -kLargestLength, kLargestLength);
    }
    return stroke;
}

platform::FontChoice FontRecord::Choice() const
{
    return {face, size != 0 ? size : 15, weight, italic, underline};
}

FontRecord StyleFont(const Style& style)
{
    FontRecord font;
    const Value face = style.Get(u"fontFamily");
    if (face.IsStr()) font.face = face.str->Utf16();

    const Value size = style.Get(u"fontSize");
    if (size.IsNum()) {
        const std::optional<int32_t> pixels = LengthInPixels(style.view, size, true);
        if (pixels && *pixels >= 1 && *pixels <= 100) font.size = *pixels;
    } else if (const std::optional<int32_t> pixels = PixelText(size)) {
        font.size = *pixels;
    }

    const Value weight = style.Get(u"fontWeight");
    int32_t number;
    if (IsText(weight, u"normal")) font.weight = 400;
    else if (IsText(weight, u"bold")) font.weight = 600;
    else if (IsText(weight, u"bolder")) font.weight = 700;
    else if (IsText(weight, u"lighter")) font.weight = 300;
    else if (Interpreter::ValueToInt(weight, number) && number >= 100 && number <= 900) font.weight = number;

    const Value fontStyle = style.Get(u"fontStyle");
    font.italic = IsText(fontStyle, u"italic");
    font.underline = IsText(fontStyle, u"underline");
    return font;
}

Margins StyleMargins(const Style& style)
{
    View& view = style.view;
    const Value all = style.Get(u"margin");
    const int32_t horizontal = LengthInPixels(view, all, false).value_or(0);
    const int32_t vertical = LengthInPixels(view, all, true).value_or(0);
    Margins margins;
    margins.left = LengthInPixels(view, style.Get(u"marginLeft"), false).value_or(horizontal);
    margins.top = LengthInPixels(view, style.Get(u"marginTop"), true).value_or(vertical);
    margins.right = LengthInPixels(view, style.Get(u"marginRight"), false).value_or(horizontal);
    margins.bottom = LengthInPixels(view, style.Get(u"marginBottom"), true).value_or(vertical);
    return margins;
}

Margins StyleMargins(View& view) { return StyleMargins(Style(view)); }

Align StyleAlign(const Style& style)
{
    const Value align = style.Get(u"align");
    if (IsText(align, u"center")) return Align::Center;
    if (IsText(align, u"right")) return Align::Right;
    return Align::Left;
}

VAlign StyleVAlign(const Style& style)
{
    const Value valign = style.Get(u"valign");
    if (IsText(valign, u"top")) return VAlign::Top;
    if (IsText(valign, u"bottom")) return VAlign::Bottom;
    return VAlign::Center;
}

namespace {

// The first edge of a length-long run between low and high (inclusive):
// placement 0 at low, 1 centred, 2 at high - length, as Align and VAlign number them.
int64_t Place(int64_t low, int64_t high, int64_t length, int placement)
{
    switch (placement) {
    case 1:
        return low + (high - low - length + 1) / 2;
    case 2:
        return high - length;
    default:
        return low;
    }
}

} // namespace

Rect PlaceInRect(const Rect& rect, Align align, VAlign valign, int32_t width, int32_t height)
{
    const int64_t left = Place(rect.left, rect.right, width, static_cast<int>(align));
    const int64_t top = Place(rect.top, rect.bottom, height, static_cast<int>(valign));
    return {ClampPixels(left), ClampPixels(top), ClampPixels(left + width - 1), ClampPixels(top + height - 1)};
}

} // namespace vellum::gui
