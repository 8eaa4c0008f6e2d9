// Measuring a text without a canvas: the same font and metrics that
// QtCanvas::DrawText draws with.
#include "platform/draw/canvas.h"
#include "platform/draw/qt_font.h"
#include "platform/qt_convert.h"

#include <QFontMetrics>
#include <QString>

#include <cstdlib>

namespace vellum::platform {

Size TextExtent(const FontChoice& font, std::u16string_view text)
{
    // Without a font system nothing is drawn either; the cell height keeps
    // layouts in console runs from collapsing.
    if (!FontsAvailable()) return {0, font.height != 0 ? std::abs(font.height) : 15};
    const QFontMetrics metrics(QtFont(font));
    const QString string = ToQString(text);
    return {metrics.horizontalAdvance(string), metrics.height()};
}

} // namespace vellum::platform
