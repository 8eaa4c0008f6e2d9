// The one place where a font record becomes a QFont, so that measuring a
// text and drawing it use the same font and the same metrics.
#pragma once

#include "platform/draw/geometry.h"

#include <QFont>

namespace vellum::platform {

// Qt's font system needs a QGuiApplication; console runs have none, and
// then nothing can be measured or drawn as text.
bool FontsAvailable();

// The font whose cell (ascent + descent, QFontMetrics::height) is as close
// to choice.height pixels as the face allows. A negative height asks for
// that em size instead, and 0 for the default height, as on the handheld.
QFont QtFont(const FontChoice& choice);

} // namespace vellum::platform
