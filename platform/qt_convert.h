// The conversions between the platform layer's plain values and Qt's, for
// the Qt side of the platform layer only: UTF-16 texts and QString, and the
// handheld's inclusive rectangles and QRect.
#pragma once

#include "platform/draw/geometry.h"

#include <QColor>
#include <QRect>
#include <QString>

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

namespace vellum::platform {

// QString is UTF-16 too: both convert unit for unit, unpaired surrogates included.
inline QString ToQString(std::u16string_view text)
{
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::u16string ToU16String(const QString& text) { return text.toStdU16String(); }

inline QColor ToQColor(Color c) { return QColor(RedOf(c), GreenOf(c), BlueOf(c)); }

// The rule between the two rectangles: the handheld's right and bottom are
// the last pixel inside, as QRect's right() and bottom() are, so the edges
// carry over as they are and the width is right - left + 1 on both sides.
// An empty rectangle (right < left or bottom < top) is Qt's null rectangle.
// Coordinates are brought within 2^24, far beyond any device, so that
// QRect's int width cannot overflow.
inline QRect QRectOfEdges(int64_t left, int64_t top, int64_t right, int64_t bottom)
{
    const auto bring = [](int64_t v) {
        constexpr int64_t limit = int64_t{1} << 24;
        return static_cast<int>(std::clamp(v, -limit, limit));
    };
    if (right < left || bottom < top) return {};
    return {QPoint(bring(left), bring(top)), QPoint(bring(right), bring(bottom))};
}

inline QRect ToQRect(const Rect& r) { return QRectOfEdges(r.left, r.top, r.right, r.bottom); }

inline Rect ToRect(const QRect& r) { return {r.left(), r.top(), r.right(), r.bottom()}; }

} // namespace vellum::platform
