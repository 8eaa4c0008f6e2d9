// Measuring a text without a canvas: the same font and metrics that
// QtCanvas::DrawText draws with.
#include "platform/draw/canvas.h"
#include "platform/draw/qt_font.h"
#include "platform/qt_convert.h"

#include <QFontMetrics>
#include <QString>

#include <cstdlib>

namespace vellum::platform {

namespace {

// Without a font system nothing is drawn either; the cell height keeps
// layouts in console runs from collapsing.
int32_t HeadlessLineHeight(const FontChoice& font) { return font.height != 0 ? std::abs(font.height) : 15; }

} // namespace

Size TextExtent(const FontChoice& font, std::u16string_view text)
{
    if (!FontsAvailable()) return {0, HeadlessLineHeight(font)};
    const QFontMetrics metrics(QtFont(font));
    return {text.empty() ? 0 : metrics.horizontalAdvance(ToQString(text)), metrics.height()};
}

int32_t LineHeight(const FontChoice& font)
{
    if (!FontsAvailable()) return HeadlessLineHeight(font);
    return QFontMetrics(QtFont(font)).height();
}

} // namespace vellum::platform
