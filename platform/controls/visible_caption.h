// A control's caption cut to what a screen can show. Qt lays a caption out
// afresh on every paint and size query, so a caption of a million
// characters would make each of them take seconds, while the part any
// window can show stays small. The cut is made once, when the caption or
// the font changes.
#pragma once

#include <QFontMetrics>
#include <QString>

namespace vellum::platform {

// The caption's first lines, as many as the screen is tall in lines of the
// font, each cut to as many characters as the screen is wide in pixels (no
// character but a zero-width mark is narrower than a pixel). A caption
// that fits is given back as it is.
QString VisibleCaption(const QString& caption, const QFontMetrics& metrics);

} // namespace vellum::platform
