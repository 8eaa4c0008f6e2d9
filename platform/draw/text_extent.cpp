// Measuring a text without a canvas: the same font and metrics that
// QtCanvas::DrawText draws with.
#include "platform/draw/canvas.h"
#include "platform/draw/qt_font.h"
#include "platform/draw/text_pieces.h"
#include "platform/qt_convert.h"

#include <QFontMetrics>
#include <QString>

#include <algorithm>
#include <cstdlib>

namespace vellum::platform {

TextMeasure::TextMeasure(const FontChoice& font)
{
    if (FontsAvailable()) {
        metrics = std::make_unique<QFontMetrics>(QtFont(font));
        lineHeight = metrics->height();
    } else {
        // Nothing is drawn either; the cell height keeps layouts in console
        // runs from collapsing.
        lineHeight = font.height != 0 ? std::abs(font.height) : 15;
    }
}

TextMeasure::~TextMeasure() = default;

Size TextMeasure::Extent(std::u16string_view text) const
{
    if (!metrics || text.empty()) return {0, lineHeight};
    if (text.size() <= kLongestShapedPiece) return {metrics->horizontalAdvance(ToQString(text)), lineHeight};
    int64_t width = 0;
    ForEachTextPiece(text, *metrics, [&](const QString&, int advance) {
        width += advance;
        return true;
    });
    return {static_cast<int32_t>(std::min<int64_t>(width, INT32_MAX)), lineHeight};
}

} // namespace vellum::platform
