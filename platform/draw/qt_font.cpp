// Fonts by cell height. The handheld sizes a font by its character cell
// (ascent + descent) where Qt sizes it by its em, and the ratio between the
// two depends on the face and, after rounding, on the size. So the pixel
// size is searched near the face's ratio until the cell height matches,
// and the answer is remembered for the run.
#include "platform/draw/qt_font.h"
#include "platform/qt_convert.h"

#include <QCoreApplication>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QString>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <map>
#include <optional>
#include <tuple>
#include <utility>

namespace vellum::platform {

namespace {

constexpr int32_t defaultHeight = 15;
// Far beyond any view; keeps a hostile size from making giant glyph caches.
constexpr int32_t largestHeight = 2048;

using FontKey = std::tuple<std::u16string, int32_t, int32_t, bool>;

QFont BaseFont(const FontChoice& choice)
{
    const std::u16string_view face = choice.face.empty() ? std::u16string_view(u"Arial") : choice.face;
    QFont font(ToQString(face));
    // A face the system lacks falls back to a proportional sans serif, as the
    // handheld's VARIABLE_PITCH | FF_SWISS request does.
    font.setStyleHint(QFont::SansSerif);
    const int32_t weight = choice.weight <= 0 ? 400 : std::min(choice.weight, 1000);
    font.setWeight(static_cast<QFont::Weight>(weight));
    font.setItalic(choice.italic);
    // The handheld does not kern: widths of words add up to the width of
    // the line, which the line breaker relies on.
    font.setKerning(false);
    return font;
}

int CellHeight(QFont font, int pixelSize)
{
    font.setPixelSize(pixelSize);
    return QFontMetrics(font).height();
}

// The pixel size whose cell height is nearest to height (the smaller size
// on a tie, so the text stays inside its cell).
int PixelSizeForCell(const QFont& font, int32_t height)
{
    constexpr int reference = 200;
    const double ratio = static_cast<double>(CellHeight(font, reference)) / reference;
    const int guess = std::max(1, static_cast<int>(height / (ratio > 0 ? ratio : 1.0) + 0.5));
    int best = guess;
    int bestError = std::abs(CellHeight(font, guess) - height);
    for (int delta = 1; delta <= 3 && bestError > 0; ++delta) {
        for (const int size : {guess - delta, guess + delta}) {
            if (size < 1) continue;
            const int error = std::abs(CellHeight(font, size) - height);
            if (error < bestError || (error == bestError && size < best)) {
                best = size;
                bestError = error;
            }
        }
    }
    return best;
}

// The fonts made last. A copy of one shares the font engine Qt found for
// it, where a newly made QFont looks the engine up again for every text
// it measures or draws. Fonts belong to the interface thread, so the
// cache needs no lock; it goes with the application.
class RecentFonts {
public:
    const QFont* Find(const FontChoice& choice)
    {
        for (const auto& entry : entries) {
            if (entry && entry->first == choice) return &entry->second;
        }
        return nullptr;
    }
    const QFont& Add(const FontChoice& choice, QFont font)
    {
        if (!registered) {
            qAddPostRoutine([] { Instance().Clear(); });
            registered = true;
        }
        auto& slot = entries[next];
        next = (next + 1) % entries.size();
        slot.emplace(choice, std::move(font));
        return slot->second;
    }
    static RecentFonts& Instance()
    {
        static RecentFonts fonts;
        return fonts;
    }

private:
    void Clear()
    {
        for (auto& entry : entries) entry.reset();
        registered = false;
    }

    std::array<std::optional<std::pair<FontChoice, QFont>>, 8> entries;
    size_t next = 0;
    bool registered = false;
};

QFont MakeFont(const FontChoice& choice)
{
    QFont font = BaseFont(choice);
    if (choice.height < 0) {
        font.setPixelSize(std::min(-choice.height, largestHeight));
    } else {
        const int32_t height = choice.height == 0 ? defaultHeight : std::min(choice.height, largestHeight);
        // Fonts belong to the interface thread, so the cache needs no lock.
        static std::map<FontKey, int> pixelSizes;
        const FontKey key{choice.face, height, choice.weight, choice.italic};
        auto found = pixelSizes.find(key);
        if (found == pixelSizes.end()) found = pixelSizes.emplace(key, PixelSizeForCell(font, height)).first;
        font.setPixelSize(found->second);
    }
    font.setUnderline(choice.underline);
    return font;
}

} // namespace

bool FontsAvailable() { return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr; }

QFont QtFont(const FontChoice& choice)
{
    RecentFonts& recent = RecentFonts::Instance();
    if (const QFont* found = recent.Find(choice)) return *found;
    return recent.Add(choice, MakeFont(choice));
}

} // namespace vellum::platform
