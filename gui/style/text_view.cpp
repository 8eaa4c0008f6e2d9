#include "gui/style/text_view.h"

#include "gui/style/length.h"
#include "gui/style/style.h"
#include "gui/style/text_lines.h"
#include "gui/style/view_property.h"

#include <algorithm>

namespace vellum::gui {

namespace {

// Automatic sizes follow the content height, up to this many pixels.
constexpr int32_t kLargestAutomaticSize = 48;

bool MultiLine(View& view) { return ViewProperty(view, u"multiLine").IsTrue(); }

} // namespace

platform::Size TextView::Measure()
{
    const Style style(*this);
    const platform::FontChoice font = StyleFont(style).Choice();
    std::u16string text = ViewText(*this, u"text");
    // An empty text takes the room of a short word, so that it can be found.
    if (text.empty()) text = u"Text";
    if (MultiLine(*this)) {
        const int32_t lines = TextLines::Count(text, font, GetContentRect().Width());
        return {1, ClampPixels(int64_t{platform::LineHeight(font)} * lines)};
    }
    const platform::Size extent = platform::TextExtent(font, text);
    return {ClampPixels(int64_t{extent.width} + 1), extent.height};
}

int32_t TextView::MeasureHeight()
{
    const int32_t height = Measure().height;
    const Margins margins = StyleMargins(*this);
    return ClampPixels(int64_t{height} + margins.top + margins.bottom);
}

int32_t TextView::MeasureWidth()
{
    const int32_t width = Measure().width;
    const Margins margins = StyleMargins(*this);
    return ClampPixels(int64_t{width} + margins.left + margins.right);
}

void TextView::Draw(Canvas& canvas, const Rect&)
{
    DrawDecoration(canvas);
    const Style style(*this);
    const Rect content = GetContentRect();
    FontRecord record = StyleFont(style);
    if (record.size == 0) {
        record.size = ClampPixels(std::min<int64_t>(int64_t{content.bottom} - content.top - 3, kLargestAutomaticSize));
    }
    const platform::FontChoice font = record.Choice();
    const platform::Color color = StyleColor(style);
    const Align align = StyleAlign(style);
    const VAlign valign = StyleVAlign(style);
    const std::u16string text = ViewText(*this, u"text");
    if (text.empty()) return;

    if (!MultiLine(*this)) {
        // A left-aligned line needs no width, only the cell height, which is
        // the same for every text in the font; measuring it would shape the
        // whole text once more than drawing does.
        const platform::Size extent =
            align == Align::Left ? platform::Size{0, platform::LineHeight(font)} : platform::TextExtent(font, text);
        const Rect box = PlaceInRect(content, align, valign, extent.width, extent.height);
        canvas.DrawText(font, box.left, box.top, text, content, color);
        return;
    }
    const int32_t lineHeight = platform::LineHeight(font);
    int64_t y = content.top;
    // Counting lines breaks the text, where drawing stops at the bottom: a
    // text placed from the top needs no count, and one placed in the middle
    // starts at the top once it fills the height.
    const int64_t room = int64_t{content.bottom} - content.top;
    if (valign == VAlign::Bottom) {
        y = content.bottom - int64_t{lineHeight} * TextLines::Count(text, font, content.Width());
    } else if (valign == VAlign::Center) {
        const auto most = static_cast<int32_t>(std::min<int64_t>(room / std::max(1, lineHeight) + 1, INT32_MAX));
        const int64_t textHeight = int64_t{lineHeight} * TextLines::Count(text, font, content.Width(), most);
        y = content.top + std::max<int64_t>(0, room - textHeight) / 2;
    }
    TextLines lines(text, font, content.Width());
    // Lines below the content rectangle would be clipped away entirely.
    while (y <= content.bottom) {
        const std::optional<TextLines::Line> line = lines.Next();
        if (!line) break;
        const int32_t x = PlaceInRect(content, align, VAlign::Top, line->size.width, lineHeight).left;
        if (y + lineHeight > content.top) canvas.DrawText(font, x, static_cast<int32_t>(y), line->text, content, color);
        y += lineHeight;
    }
}

} // namespace vellum::gui
