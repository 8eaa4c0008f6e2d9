// Qt shapes a text all at once, in memory that grows with its length: a
// line of millions of units would take gigabytes and seconds to measure or
// draw. A long text is therefore measured and drawn in pieces of bounded
// length, and only the pieces that reach into the clip are drawn. Texts up
// to one piece long are shaped whole, exactly as before.
#pragma once

#include <QFontMetrics>
#include <QString>

#include <algorithm>
#include <cstdint>
#include <string_view>

namespace vellum::platform {

constexpr size_t kLongestShapedPiece = 4096;

// Calls visit(piece, advance) for the consecutive pieces of a long text, in
// order, until visit returns false. A piece never ends between the two
// units of a character.
template <class Visit>
void ForEachTextPiece(std::u16string_view text, const QFontMetrics& metrics, Visit visit)
{
    for (size_t start = 0; start < text.size();) {
        size_t end = std::min(text.size(), start + kLongestShapedPiece);
        if (end < text.size() && QChar::isHighSurrogate(text[end - 1])) --end;
        const QString piece = QString::fromUtf16(text.data() + start, static_cast<qsizetype>(end - start));
        if (!visit(piece, metrics.horizontalAdvance(piece))) return;
        start = end;
    }
}

} // namespace vellum::platform
